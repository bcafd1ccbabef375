#pragma once

// The host's history: every record a device saves, with its device and the
// time it was saved, in one SQLite file.

#include <ctime>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace xk83t_host {

struct HistoryRow {
    unsigned data_id;
    std::time_t saved_at;
    std::vector<unsigned char> record;
};

class HistoryStore {
public:
    // Opens or creates the file. Throws std::runtime_error on failure.
    explicit HistoryStore(const std::string& path);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    void append(unsigned data_id, const unsigned char* record, std::size_t length, std::time_t saved_at);
    std::optional<HistoryRow> latest(unsigned data_id) const;
    // Oldest first.
    std::vector<HistoryRow> rows(unsigned data_id) const;

    const std::string& path() const { return path_; }

private:
    void run(const char* sql) const;

    std::string path_;
    sqlite3* db_ = nullptr;
};

}  // namespace xk83t_host
