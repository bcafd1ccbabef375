#pragma once

// The replay trace: JSON Lines, one event per line, "ev" first and the other
// members in the order given, so a trace reads in the order things happen.

#include <json/value.h>
#include <json/writer.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace xk83t_replay {

using TraceField = std::pair<std::string, Json::Value>;

class TraceWriter {
public:
    explicit TraceWriter(std::ostream& out);

    void event(const std::string& ev, const std::vector<TraceField>& fields = {});

    // One JSON value as the trace writes it: compact, UTF-8 texts kept as
    // they are, doubles with enough digits to read back unchanged.
    std::string text(const Json::Value& value) const;

private:
    std::ostream& out_;
    std::unique_ptr<Json::StreamWriter> writer_;
};

}  // namespace xk83t_replay
