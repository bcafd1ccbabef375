#include "rule_file.h"

#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <yaml-cpp/yaml.h>

#include <unistd.h>

#include <iostream>
#include <locale>

namespace xk83t {
namespace {

bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void store_ai_rule(AiRuleMap& ai_rules, const std::string& key, const std::string& value)
{
    ai_rules[key] = split_first(value, ',');
}

// Mode 1 keeps the alarm id only; mode 3 keeps "alarm key,comparison" whole.
std::string alarm_rule_text(int mode, const std::string& value)
{
    return mode == 1 ? split_first(value, ',').first : value;
}

void read_yaml(const std::string& path, int mode, AiRuleMap& ai_rules, TextMap& alarm_rules)
{
    std::cout << "before load" << std::endl;
    const YAML::Node root = YAML::LoadFile(path);
    std::cout << "after load" << std::endl;

    if (mode == 1) {
        const YAML::Node ai = root["AI"];
        if (ai.IsDefined())
            for (const auto& entry : ai)
                store_ai_rule(ai_rules, entry.first.as<std::string>(), entry.second.as<std::string>());
    }

    std::cout << "before parse alarm" << std::endl;
    const YAML::Node alarm = root["ALARM"];
    if (alarm.IsDefined() && (mode == 1 || mode == 3)) {
        for (const auto& entry : alarm) {
            const std::string key = entry.first.as<std::string>();
            const std::string stored = alarm_rule_text(mode, entry.second.as<std::string>());
            alarm_rules[key] = stored;
            if (mode == 1)
                std::cout << "parse alarm:" << key << " >> " << stored << std::endl;
        }
    }
    std::cout << "after parse alarm" << std::endl;
}

void read_ini(const std::string& path, int mode, AiRuleMap& ai_rules, TextMap& alarm_rules)
{
    boost::property_tree::ptree tree;
    boost::property_tree::ini_parser::read_ini(path, tree, std::locale());
    if (mode == 1)
        for (const auto& entry : tree.get_child("AI"))
            store_ai_rule(ai_rules, entry.first, entry.second.data());
    if (mode == 1 || mode == 3)
        for (const auto& entry : tree.get_child("ALARM"))
            alarm_rules[entry.first] = alarm_rule_text(mode, entry.second.data());
}

}  // namespace

std::string find_rule_file(const RuleFileQuery& query)
{
    const std::string id = std::to_string(query.data_id);
    const std::string folders[] = {"./ini/", "./ini/" + query.operator_name + "/"};
    for (const std::string& folder : folders)
        for (const std::string& name : {id, query.model})
            for (const char* extension : {".yaml", ".ini"}) {
                const std::string path = folder + name + extension;
                std::cout << "test ini/yaml:" << path << std::endl;
                if (::access(path.c_str(), F_OK) == 0)
                    return path;
            }
    std::cout << "data_id:" << query.data_id << " model:" << query.model << " b ini not found" << std::endl;
    return {};
}

void read_rule_file(const RuleFileQuery& query, int mode, AiRuleMap& ai_rules, TextMap& alarm_rules)
{
    const std::string path = find_rule_file(query);
    std::cout << "parse ini/yaml filename:" << path << std::endl;
    if (path.empty())
        return;
    if (ends_with(path, ".yaml"))
        read_yaml(path, mode, ai_rules, alarm_rules);
    else
        read_ini(path, mode, ai_rules, alarm_rules);

    std::cout << "AI " << query.data_id << std::endl;
    for (const auto& [data_name, rule] : ai_rules)
        std::cout << "first:" << data_name << " second:" << rule.first << " name:" << rule.second << std::endl;
}

}  // namespace xk83t
