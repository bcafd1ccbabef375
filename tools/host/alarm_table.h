#pragma once

// The host's alarm table: which alarms of which device are raised. The
// plug-in's threshold calls land here; every raise, clear and report becomes
// one event line, handed out with take_events().

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace xk83t_host {

// The host's own limits for an analog signal, by alarm signal id.
struct AnalogLimit {
    std::optional<float> high;
    std::optional<float> low;
    int level = 1;
};

struct AlarmEvent {
    enum class Kind { Raised, Cleared, Report };
    Kind kind;
    unsigned data_id;
    std::string id;
    int level = 0;
    // What the device said about the alarm, in the order given.
    std::vector<std::string> details;

    std::string line() const;
};

struct ActiveAlarm {
    std::string id;
    int level;
    std::vector<std::string> details;
};

class AlarmTable {
public:
    void set_analog_limits(unsigned data_id, std::map<std::string, AnalogLimit> limits);

    // A boolean alarm state. signal is the name the device gives the
    // alarm's signal, value and text what it says about its value.
    void check_bool(unsigned data_id, int level, const std::string& signal, const std::string& id,
                    const std::string& value, const std::string& text, bool state);
    // An analog value, checked against the host's limits for that id.
    void check_analog(unsigned data_id, const std::string& id, const std::string& name, float value);
    void report(unsigned data_id, const std::string& id, float value);

    bool any_active(unsigned data_id) const;
    std::vector<ActiveAlarm> active(unsigned data_id) const;
    std::vector<AlarmEvent> take_events();

private:
    void set_state(unsigned data_id, const std::string& id, int level, std::vector<std::string> details, bool state);

    std::map<std::pair<unsigned, std::string>, ActiveAlarm> active_;
    std::map<unsigned, std::map<std::string, AnalogLimit>> limits_;
    std::vector<AlarmEvent> events_;
};

// A float as the device's texts show it: nine significant digits.
std::string number_text(float value);

}  // namespace xk83t_host
