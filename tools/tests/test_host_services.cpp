// The host's services as a device sees them: the display document read
// through control request 801 with a growing buffer, the alarm table's
// raise/clear/report lines, the request queue, and the history kept apart
// from records restored at start.

#include <host/alarm_table.h>
#include <host/display_document.h>
#include <host/history_store.h>
#include <host/reference_host.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace xk83t_host;

namespace {

// A device whose document answer follows the control request's contract.
class DocumentDevice : public SPModbus {
public:
    int LoadFromCache(const unsigned char*, int) override { return 0; }
    int process_payload(tab_type, unsigned int) override { return 1; }
    int DeviceIoControl(int code, const void* in, int in_len, void* out, int out_cap, int& out_len) override
    {
        if (code != kReadDocumentText)
            return SMDVDevice::DeviceIoControl(code, in, in_len, out, out_cap, out_len);
        ++requests;
        const std::string text = documents.at(std::min<std::size_t>(requests - 1, documents.size() - 1));
        out_len = static_cast<int>(text.size());
        if (out_cap < out_len)
            return -1;
        std::memcpy(out, text.data(), text.size());
        return 0;
    }
    std::vector<std::string> documents;
    std::size_t requests = 0;
};

TEST(DisplayDocumentFetch, GrowsTheBufferToTheLengthTheDeviceNeeds)
{
    DocumentDevice device;
    device.documents = {std::string(40000, 'x')};
    std::vector<char> buffer(100);
    const auto text = fetch_display_document(device, buffer);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->size(), 40000u);
    EXPECT_EQ(device.requests, 2u);
    EXPECT_GE(buffer.size(), 40000u);

    // The grown buffer serves the next read at once.
    device.requests = 0;
    EXPECT_TRUE(fetch_display_document(device, buffer).has_value());
    EXPECT_EQ(device.requests, 1u);
}

TEST(DisplayDocumentFetch, DocumentThatGrowsBetweenTwoRequestsIsStillRead)
{
    DocumentDevice device;
    device.documents = {std::string(200, 'a'), std::string(300, 'b'), std::string(300, 'b')};
    std::vector<char> buffer(100);
    const auto text = fetch_display_document(device, buffer);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, std::string(300, 'b'));
}

TEST(DisplayDocumentFetch, NoDocumentWhenTheRequestGoesToTheHostsHandler)
{
    // A device that passes 801 on answers with the host's -1 and no length.
    class Passing : public SPModbus {
    public:
        int LoadFromCache(const unsigned char*, int) override { return 0; }
        int process_payload(tab_type, unsigned int) override { return 1; }
    } passing;
    std::vector<char> buffer;
    EXPECT_FALSE(fetch_display_document(passing, buffer).has_value());
}

TEST(AlarmTable, RaiseOnceClearOnceWithReadableLines)
{
    AlarmTable table;
    table.check_bool(1, 2, "A路进线-电压", "0418101001", "57.7999992", "当前值57.7999992高于阈值:57", true);
    table.check_bool(1, 2, "A路进线-电压", "0418101001", "57.5", "当前值57.5高于阈值:57", true);
    EXPECT_TRUE(table.any_active(1));
    EXPECT_FALSE(table.any_active(2));
    table.check_bool(1, 2, "A路进线-电压", "0418101001", "53.5", "", false);
    table.check_bool(1, 2, "A路进线-电压", "0418101001", "53.4", "", false);
    EXPECT_FALSE(table.any_active(1));

    const auto events = table.take_events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].line(),
              "alarm raised   device 1  id 0418101001  level 2  A路进线-电压  57.7999992  当前值57.7999992高于阈值:57");
    EXPECT_EQ(events[1].line(), "alarm cleared  device 1  id 0418101001  A路进线-电压  53.5");
    EXPECT_TRUE(table.take_events().empty());
}

TEST(AlarmTable, SameIdOnTwoDevicesAreTwoAlarms)
{
    AlarmTable table;
    table.check_bool(1, 2, "X", "id", "", "", true);
    table.check_bool(2, 2, "X", "id", "", "", true);
    table.check_bool(1, 2, "X", "id", "", "", false);
    EXPECT_FALSE(table.any_active(1));
    EXPECT_TRUE(table.any_active(2));
    EXPECT_EQ(table.active(2).size(), 1u);
}

TEST(AlarmTable, AnalogValuesAgainstTheHostsLimits)
{
    AlarmTable table;
    AnalogLimit limit;
    limit.high = 57.0f;
    limit.low = 47.0f;
    limit.level = 3;
    table.set_analog_limits(1, {{"041610101", limit}});
    const struct {
        float value;
        bool active;
    } steps[] = {{53.5f, false}, {57.0f, false}, {57.1f, true}, {58.0f, true}, {50.0f, false}, {46.9f, true}};
    for (const auto& s : steps) {
        table.check_analog(1, "041610101", "A路进线电压", s.value);
        EXPECT_EQ(table.any_active(1), s.active) << s.value;
    }
    table.check_analog(1, "no limit", "x", 1e9f);  // an id without limits is only looked at
    const auto events = table.take_events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].line(), "alarm raised   device 1  id 041610101  level 3  A路进线电压  57.0999985  above 57");
    EXPECT_EQ(events[2].line(), "alarm raised   device 1  id 041610101  level 3  A路进线电压  46.9000015  below 47");
}

TEST(AlarmTable, ReportLine)
{
    AlarmTable table;
    table.report(4, "041810100", 53.5f);
    EXPECT_EQ(table.take_events().at(0).line(), "report         device 4  id 041810100  53.5");
}

class Device : public SPModbus {
public:
    int LoadFromCache(const unsigned char*, int) override { return 0; }
    int process_payload(tab_type, unsigned int) override { return 1; }
};

TEST(ReferenceHost, QueuesExchangesInRequestOrder)
{
    AlarmTable alarms;
    ReferenceHost host(alarms, nullptr);
    Device a, b;
    host.read_registers(a, 0, 4);
    host.write_register(a, 16, 300);
    host.read_registers(b, 4, 14);
    host.write_registers(a, 20, {1, 2, 3});

    auto first = host.next_exchange(a);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, PendingExchange::Kind::Read);
    EXPECT_EQ(first->address, 0);
    EXPECT_EQ(first->count, 4);
    auto second = host.next_exchange(a);
    EXPECT_EQ(second->kind, PendingExchange::Kind::WriteOne);
    EXPECT_EQ(second->values, std::vector<std::uint16_t>{300});
    auto third = host.next_exchange(a);
    EXPECT_EQ(third->kind, PendingExchange::Kind::WriteMany);
    EXPECT_EQ(third->count, 3);
    EXPECT_FALSE(host.next_exchange(a));
    host.drop_exchanges(b);
    EXPECT_FALSE(host.next_exchange(b));
}

TEST(ReferenceHost, BatchCheckAnswersWhatTheTableSays)
{
    AlarmTable alarms;
    ReferenceHost host(alarms, nullptr);
    Device device;
    device.data_id_ = 5;
    EXPECT_FALSE(host.batch_check(device, {}));
    host.check_threshold_bool(device, 2, "s", "id", "v", "t", true, 1);
    EXPECT_TRUE(host.batch_check(device, {}));
    SMDVDevice::rule_value queued;
    queued.id = "id";
    queued.state = false;
    EXPECT_FALSE(host.batch_check(device, {queued}));
}

class HistoryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/xk83t-history-test-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
    }
    void TearDown() override { std::remove(path.c_str()); }
    std::string path;
};

TEST_F(HistoryFile, SavedRecordsAreAppendedRestoredOnesAreNot)
{
    AlarmTable alarms;
    HistoryStore history(path);
    ReferenceHost host(alarms, &history);
    host.clock = [](std::time_t*) -> std::time_t { return 1700000000; };
    Device device;
    device.data_id_ = 9;
    const std::vector<unsigned char> one(2585, 1), two(2585, 2), restored(2585, 3);

    host.save_history(device, one.data(), 2585);
    host.set_restoring(device, true);
    host.send_sp(device, 5156, restored.data(), 2585, false);
    host.save_history(device, restored.data(), 2585);
    host.set_restoring(device, false);
    host.save_history(device, two.data(), 2585);

    const auto rows = history.rows(9);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].record, one);
    EXPECT_EQ(rows[1].record, two);
    EXPECT_EQ(rows[1].saved_at, 1700000000);
    EXPECT_EQ(history.latest(9)->record, two);
    EXPECT_FALSE(history.latest(10));
    EXPECT_EQ(host.saved(device), 2u);
    // Publishing is not history: the restored record is the latest published.
    EXPECT_EQ(host.latest(device).record, restored);
    EXPECT_EQ(host.latest(device).type, 5156);
}

}  // namespace
