#include "history_store.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace xk83t_host {

namespace {

struct FinalizeStatement {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

Statement prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("history: ") + sqlite3_errmsg(db));
    return Statement(raw);
}

HistoryRow row_of(sqlite3_stmt* s)
{
    HistoryRow row;
    row.data_id = static_cast<unsigned>(sqlite3_column_int64(s, 0));
    row.saved_at = static_cast<std::time_t>(sqlite3_column_int64(s, 1));
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(s, 2));
    row.record.assign(bytes, bytes + sqlite3_column_bytes(s, 2));
    return row;
}

}  // namespace

HistoryStore::HistoryStore(const std::string& path) : path_(path)
{
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("history " + path + ": " + why);
    }
    sqlite3_busy_timeout(db_, 2000);
    run("CREATE TABLE IF NOT EXISTS history ("
        " id INTEGER PRIMARY KEY,"
        " data_id INTEGER NOT NULL,"
        " saved_at INTEGER NOT NULL,"
        " record BLOB NOT NULL)");
    run("CREATE INDEX IF NOT EXISTS history_by_device ON history (data_id, id)");
}

HistoryStore::~HistoryStore()
{
    sqlite3_close(db_);
}

void HistoryStore::run(const char* sql) const
{
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string why = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error("history " + path_ + ": " + why);
    }
}

void HistoryStore::append(unsigned data_id, const unsigned char* record, std::size_t length, std::time_t saved_at)
{
    Statement s = prepare(db_, "INSERT INTO history (data_id, saved_at, record) VALUES (?, ?, ?)");
    sqlite3_bind_int64(s.get(), 1, data_id);
    sqlite3_bind_int64(s.get(), 2, static_cast<sqlite3_int64>(saved_at));
    sqlite3_bind_blob(s.get(), 3, record, static_cast<int>(length), SQLITE_TRANSIENT);
    if (sqlite3_step(s.get()) != SQLITE_DONE)
        throw std::runtime_error("history " + path_ + ": " + sqlite3_errmsg(db_));
}

std::optional<HistoryRow> HistoryStore::latest(unsigned data_id) const
{
    Statement s = prepare(db_, "SELECT data_id, saved_at, record FROM history WHERE data_id = ? ORDER BY id DESC LIMIT 1");
    sqlite3_bind_int64(s.get(), 1, data_id);
    if (sqlite3_step(s.get()) != SQLITE_ROW)
        return std::nullopt;
    return row_of(s.get());
}

std::vector<HistoryRow> HistoryStore::rows(unsigned data_id) const
{
    Statement s = prepare(db_, "SELECT data_id, saved_at, record FROM history WHERE data_id = ? ORDER BY id");
    sqlite3_bind_int64(s.get(), 1, data_id);
    std::vector<HistoryRow> list;
    while (sqlite3_step(s.get()) == SQLITE_ROW)
        list.push_back(row_of(s.get()));
    return list;
}

}  // namespace xk83t_host
