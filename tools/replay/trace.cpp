#include "trace.h"

#include "utf8_text.h"

#include <sstream>

namespace xk83t_replay {
namespace {

std::unique_ptr<Json::StreamWriter> compact_writer()
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    builder["precision"] = 17;
    builder["precisionType"] = "significant";
    return std::unique_ptr<Json::StreamWriter>(builder.newStreamWriter());
}

Json::Value with_valid_texts(const Json::Value& value)
{
    if (value.isString())
        return Json::Value(valid_utf8(value.asString()));
    if (value.isArray()) {
        Json::Value list(Json::arrayValue);
        for (const auto& item : value)
            list.append(with_valid_texts(item));
        return list;
    }
    return value;
}

}  // namespace

TraceWriter::TraceWriter(std::ostream& out) : out_(out), writer_(compact_writer()) {}

std::string TraceWriter::text(const Json::Value& value) const
{
    std::ostringstream s;
    writer_->write(with_valid_texts(value), &s);
    return s.str();
}

void TraceWriter::event(const std::string& ev, const std::vector<TraceField>& fields)
{
    std::string line = "{\"ev\":" + text(Json::Value(ev));
    for (const auto& [name, value] : fields)
        line += "," + text(Json::Value(name)) + ":" + text(value);
    line += "}\n";
    // Flushed per event: after a crash of the plug-in the trace shows how far
    // it got.
    out_ << line << std::flush;
}

}  // namespace xk83t_replay
