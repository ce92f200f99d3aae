// A pass's line read back as JSON, row by row: each list a pass caps says how
// many it left out, only when it left some, and never in place of the list.
#include "bench/recording/EventLog.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

TEST(EventLine, SaysWhatEachCappedListLeftOut)
{
    const std::vector<std::string> faults(PassRecord::MaxFaults, "a fault");
    const struct {
        const char* what;
        int plays, playsLeftOut, handlers, handlersLeftOut;
        size_t stack;
        uint64_t stackLeftOut;
    } rows[] = {
        {"nothing happened", 0, 0, 0, 0, 0, 0},
        {"every list full, nothing left out", PassRecord::MaxPlays, 0, PassRecord::MaxHandlers, 0,
            PassRecord::MaxFaults, 0},
        {"plays left out", PassRecord::MaxPlays, 3, 0, 0, 0, 0},
        {"handlers left out", 0, 0, PassRecord::MaxHandlers, 5, 0, 0},
        {"faults left out", 0, 0, 0, 0, PassRecord::MaxFaults, 4000000000u},
        {"all three left out", PassRecord::MaxPlays, 1, PassRecord::MaxHandlers, 1, PassRecord::MaxFaults, 1},
    };
    for (const auto& row : rows) {
        PassRecord pass;
        for (int i = 0; i < row.plays; ++i)
            pass.Plays[i] = "Wave1";
        pass.PlayCount = row.plays;
        pass.PlaysLeftOut = row.playsLeftOut;
        for (int i = 0; i < row.handlers; ++i)
            pass.Handlers[i] = 1;
        pass.HandlerCount = row.handlers;
        pass.HandlersLeftOut = row.handlersLeftOut;
        pass.Faults = &faults;
        pass.FaultCount = row.stack;
        pass.FaultsLeftOut = row.stackLeftOut;
        const nlohmann::json line = nlohmann::json::parse(EventLine(pass, nullptr));
        SCOPED_TRACE(row.what);
        EXPECT_EQ(line["plays"].size(), size_t(row.plays));
        EXPECT_EQ(line["handlers"].size(), size_t(row.handlers));
        EXPECT_EQ(line.contains("stack") ? line["stack"].size() : 0u, row.stack);
        const struct {
            const char* field;
            uint64_t leftOut;
        } counts[] = {{"plays_left_out", uint64_t(row.playsLeftOut)},
                      {"handlers_left_out", uint64_t(row.handlersLeftOut)}, {"stack_left_out", row.stackLeftOut}};
        for (const auto& count : counts) {
            EXPECT_EQ(line.contains(count.field), count.leftOut > 0) << count.field;
            if (count.leftOut)
                EXPECT_EQ(line[count.field], count.leftOut) << count.field;
        }
    }
}

// A log that cannot be written says where, and writes nothing after.
TEST(EventLine, ALogThatCannotBeOpenedSaysWhere)
{
    const std::string path = "no-such-folder-of-the-event-log/events.jsonl";
    EventLog log;
    std::string error;
    EXPECT_FALSE(log.Open(path, &error));
    EXPECT_EQ(error, "cannot write " + path);
    log.Write(PassRecord(), nullptr, true);
    log.Close();
}

} // namespace
