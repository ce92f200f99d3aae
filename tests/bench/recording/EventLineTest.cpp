// A pass's line read back as JSON, row by row: each list a pass caps says how
// many it left out, only when it left some, and never in place of the list;
// and the log's first line, the gauge as its reader describes it.
#include "bench/files/Files.h"
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/recording/EventLog.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <stdio.h>

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

// The gauge's line holds what the chart draws by, from the description
// alone; a log opened with a description starts with it, every pass after,
// whichever passes it keeps.
TEST(EventLine, TheFirstLineDescribesTheGaugeAsItsReaderDoes)
{
    const char* const low[] = {"low"};
    const GaugeDescription bare = {"Bare", "Bare.gau", 1, low, 0, nullptr, 0, 0, 0, nullptr, nullptr, {}, nullptr};
    const struct {
        const char* what;
        const GaugeDescription* gauge;
        LogChoice choice;
        const char* line; // the first line of the log, without its newline
    } rows[] = {
        {"Lumivane's", &LumivaneDescription(), LogChoice::Every,
         R"({"gauge":{"name":"Lumivane","module":"Lumivane.gau","speeds":["Speed1","Speed2","Speed3"],)"
         R"("lamps_dark_above":{"speed":3,"by":10.0},"clips":{"Wave1":{"sound":"single beep","beeps":1},)"
         R"("Wave2":{"sound":"double beep","beeps":2}}}})"},
        {"Lumivane's, changes only", &LumivaneDescription(), LogChoice::Changes, nullptr},
        {"one without a lamp limit or clips", &bare, LogChoice::Every,
         R"({"gauge":{"name":"Bare","module":"Bare.gau","speeds":["low"],"lamps_dark_above":null,"clips":{}}})"},
        {"no description", nullptr, LogChoice::Every, R"({"pass":0,"time":0.0,)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = std::string("event-log-") + std::to_string(&row - rows) + ".jsonl";
        EventLog log;
        std::string error, text, problem;
        ASSERT_TRUE(log.Open(path, &error, row.choice, row.gauge)) << error;
        PassRecord pass;
        for (uint64_t p = 0; p < 3; ++p) {
            pass.Pass = p;
            log.Write(pass, nullptr, false);
        }
        log.Close();
        ASSERT_TRUE(ReadWholeFile(path, &text, &problem)) << problem;
        remove(path.c_str());
        const std::string first = text.substr(0, text.find('\n'));
        if (row.gauge) {
            EXPECT_EQ(first + "\n", GaugeLine(*row.gauge));
            if (row.line)
                EXPECT_EQ(first, row.line);
        } else {
            EXPECT_EQ(first.rfind(row.line, 0), 0u) << first;
        }
        // The passes follow, the first and the last at least.
        EXPECT_NE(text.find("{\"pass\":0,"), std::string::npos);
        EXPECT_NE(text.find("{\"pass\":2,"), std::string::npos);
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
