// A storm of presses on random points of the gauge, hit-tested through the
// mouse area list as a host does, some held so that the adjust areas repeat,
// with passes in between and the settings files changing under the gauge:
// appearing with good values, vanishing, holding garbage or numbers beyond
// 32 bits, a folder in a file's place, the whole folder gone unwritable, and
// fresh loads of the module that read them again. Whatever happens, speeds
// that were in order stay in order through every press, every file an
// adjust could write holds exactly the value in memory, and the readout
// shows the selected speed; the sanitizers stop the run at anything else.
// LUMIVANE_STORM_PRESSES sets the length (10,000 by default).
#include "GaugeRun.h"

#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"

#include <random>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum FileState { Missing, Holding, InFolderPlace };

const char* const Files[3] = {Speed1File, Speed2File, Speed3File}; // by selection

class SettingsStorm : public WholeGaugeTest {
protected:
    void SetUp() override
    {
        WholeGaugeTest::SetUp();
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        scratch_ = here;
    }

    void TearDown() override
    {
        if (dead_)
            EXPECT_EQ(chdir(scratch_.c_str()), 0);
        WholeGaugeTest::TearDown();
    }

    // The folder of the settings files becomes one that no longer exists:
    // nothing can be created or opened in it, whoever runs the test.
    void KillFolder()
    {
        char pattern[] = "/tmp/lumivane-storm-gone-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        ASSERT_EQ(chdir(pattern), 0);
        ASSERT_EQ(rmdir(pattern), 0);
        dead_ = true;
    }

    void ReviveFolder()
    {
        ASSERT_EQ(chdir(scratch_.c_str()), 0);
        dead_ = false;
    }

    void Put(int file, FileState state, const std::string& bytes = "")
    {
        remove(Files[file]);
        rmdir(Files[file]);
        if (state == Holding)
            WriteFile(Files[file], bytes);
        else if (state == InFolderPlace)
            ASSERT_EQ(mkdir(Files[file], 0700), 0);
        state_[file] = state;
    }

    std::string scratch_;
    bool dead_ = false;
    FileState state_[3] = {Missing, Missing, Missing};
};

TEST_F(SettingsStorm, SpeedsStayInOrderAndEveryWrittenFileHoldsTheSpeed)
{
    const long presses = RunLength("LUMIVANE_STORM_PRESSES", 10000);
    std::mt19937 random(98);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const char* const extremes[] = {"2147483647", "-2147483648", "99999999999", "-99999999999", "0x7fffffff",
                                    "0xFFFFFFFFF", "-0", "017777777777", "1000", "-100"};
    long handlers = 0, adjusts = 0, saved = 0, refused = 0, inOrder = 0, passes = 0, loads = 0, events = 0;
    for (long press = 0; press < presses; ++press) {
        if (pick(8) == 0) {
            ++events;
            const int file = pick(3);
            // The folder stays unwritable for a few events at a time.
            if (dead_ && pick(3) == 0) {
                ReviveFolder();
                continue;
            }
            switch (pick(9)) {
            case 0:
            case 1:
                if (!dead_)
                    Put(file, Holding, std::to_string(pick(201)));
                break;
            case 2:
                if (!dead_)
                    Put(file, Missing);
                break;
            case 3: {
                std::string garbage;
                for (int n = pick(12); n > 0; --n)
                    garbage += char(random());
                if (!dead_)
                    Put(file, Holding, garbage);
                break;
            }
            case 4:
                if (!dead_)
                    Put(file, Holding, extremes[pick(10)]);
                break;
            case 5:
                if (!dead_)
                    Put(file, InFolderPlace);
                break;
            case 6:
                if (dead_)
                    ReviveFolder();
                else
                    KillFolder();
                break;
            default:
                // A fresh load of the module: the files are read again.
                ResetModuleState();
                break;
            }
        }
        GaugeRun run;
        if (pick(3) == 0) {
            const int32_t loadedBefore = SettingsLoaded;
            PassView view = run.Pass(0);
            ++passes;
            loads += SettingsLoaded && !loadedBefore;
            const int32_t shown = *SelectedSpeedValue();
            char expected[8];
            snprintf(expected, sizeof expected, shown < -99 || shown > 999 ? "***" : "%3d", shown);
            ASSERT_EQ(view.Readout, expected) << "press " << press;
        }

        const bool wasInOrder = SpeedsInOrder();
        const int selected = SelectedSpeed;
        const std::string fileBefore = ReadFile(Files[selected]);
        // Over the whole gauge and a little beyond its edges.
        AreaHandler handler = run.Press(pick(110) - 5, pick(85) - 5, pick(4) == 0 ? pick(30) : 0);
        if (!handler)
            continue;
        ++handlers;
        if (wasInOrder) {
            ++inOrder;
            ASSERT_TRUE(SpeedsInOrder()) << "press " << press << ": " << Speed1 << ", " << Speed2 << ", " << Speed3;
        }
        if (handler != SpeedUpHandler && handler != SpeedDownHandler)
            continue;
        ++adjusts;
        const std::string file = ReadFile(Files[selected]);
        if (!dead_ && state_[selected] != InFolderPlace) {
            ++saved;
            state_[selected] = Holding;
            ASSERT_EQ(file, std::to_string(*SelectedSpeedValue())) << "press " << press;
        } else {
            ++refused;
            ASSERT_EQ(file, fileBefore) << "press " << press << ": nothing was written where nothing could be";
        }
    }
    EXPECT_GT(adjusts, presses / 5);
    EXPECT_GT(refused, 0);
    EXPECT_GT(loads, 0);
    Figure("settings-storm", "presses=" + std::to_string(presses) + " handlers=" + std::to_string(handlers) +
                                 " adjusts=" + std::to_string(adjusts) + " files-read-back=" +
                                 std::to_string(saved) + " saves-refused=" + std::to_string(refused) +
                                 " in-order-kept=" + std::to_string(inOrder) + " passes=" +
                                 std::to_string(passes) + " loads=" + std::to_string(loads) + " file-events=" +
                                 std::to_string(events));
}

} // namespace
