// The runtime spine under a real X server: the program is started in a child
// process with a small probe application and driven the way a player's
// desktop would (focus changes, the close box, typed keys). Every check is
// on counts, order, codes and exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "graphics/graphics.h"
#include "input/input.h"
#include "probe_app.h"
#include "support.h"

namespace {

class PrivateDisplay : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!StartPrivateDisplay()) std::fprintf(stderr, "no private X server; using DISPLAY as it is\n");
  }
  void TearDown() override { StopPrivateDisplay(); }
};

const auto* const display_env = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// The lines of `out` that start with `word`, each split into its numbers.
std::vector<std::vector<long>> Records(const std::string& out, const std::string& word) {
  std::vector<std::vector<long>> records;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string first;
    if (!(fields >> first) || first != word) continue;
    std::vector<long> numbers;
    for (long n; fields >> n;) numbers.push_back(n);
    records.push_back(numbers);
  }
  return records;
}

std::string FirstLine(const std::string& out) { return out.substr(0, out.find('\n')); }

void Print(const char* format, long a = 0, long b = 0, long c = 0, long d = 0) {
  std::printf(format, a, b, c, d);
  std::fflush(stdout);
}

// Ends the child when a scenario never reaches its end.
constexpr int kStuck = 3;
void GiveUpAfter(ProbeApp* app, int updates) {
  if (app->updates < updates) return;
  Print("stuck\n");
  _exit(kStuck);
}

TEST(WindowLoop, RunsTheGameRateWithAtMostFourUpdatesPerDrawnFrame) {
  ChildResult r = RunChild([] {
    struct State {
      int lastUpdates = 0, inFrame = 0, t0 = 0, slowFrom = 0;
      bool slow = false, sleptBefore = false, changedRate = false, changedThisFrame = false;
    };
    probe_setup = [](ProbeApp* app) {
      auto s = std::make_shared<State>();
      app->onRender = [app, s] {
        if (app->renders > 1)
          Print("frame %ld %ld %ld\n", s->sleptBefore, app->updates - s->lastUpdates, s->changedThisFrame);
        s->lastUpdates = app->updates;
        s->inFrame = 0;
        s->changedThisFrame = false;
        s->sleptBefore = s->slow;
        // A machine that draws slower than 15 frames per second.
        if (s->slow) usleep(100000);
      };
      app->onUpdate = [app, s] {
        ++s->inFrame;
        if (app->updates == 1) {
          Print("first %ld\n", app->renders);
          bb_app_SetUpdateRate(20);
        } else if (app->updates == 2) {
          s->t0 = bb_app_Millisecs();
        } else if (app->updates == 22) {
          Print("rate20 %ld\n", bb_app_Millisecs() - s->t0);
          bb_app_SetUpdateRate(60);
          s->slow = true;
          s->slowFrom = app->renders;
        } else if (s->slow && !s->changedRate && s->inFrame == 2 && app->renders - s->slowFrom >= 4) {
          // Changing the rate inside a catch-up ends that frame's updates.
          s->changedRate = s->changedThisFrame = true;
          bb_app_SetUpdateRate(60);
        } else if (s->slow && app->renders - s->slowFrom >= 12) {
          bb_app_EndApp();
        }
        GiveUpAfter(app, 2000);
      };
    };
    return RunProbeProgram();
  });
  ASSERT_EQ(r.status, 0) << r.out;
  // The first frame is drawn before the first update.
  EXPECT_EQ(Records(r.out, "first"), (std::vector<std::vector<long>>{{1}}));
  // 20 updates at 20 per second cannot be done sooner than one second.
  auto rate = Records(r.out, "rate20");
  ASSERT_EQ(rate.size(), 1u);
  EXPECT_GE(rate[0][0], 950);
  int slowFours = 0, changed = 0;
  for (const auto& f : Records(r.out, "frame")) {
    EXPECT_LE(f[1], APP_MAX_UPDATES_PER_FRAME) << r.out;
    if (f[2]) {
      ++changed;
      EXPECT_EQ(f[1], 2) << "the rate change must end the catch-up";
    } else if (f[0] && f[1] == APP_MAX_UPDATES_PER_FRAME) {
      ++slowFours;
    }
  }
  EXPECT_EQ(changed, 1);
  EXPECT_GE(slowFours, 3) << r.out;
}

TEST(WindowLoop, FocusLossSuspendsAndRegainingItResumesAtOnce) {
  ChildResult r = RunChild([] {
    struct State {
      bool suspended = false, reported = false;
      unsigned long window = 0;
      int rendersAtResume = 0, updatesAtResume = 0, updatesSuspended = 0, rendersSuspended = 0;
    };
    probe_setup = [](ProbeApp* app) {
      auto s = std::make_shared<State>();
      app->onUpdate = [app, s] {
        if (s->suspended) ++s->updatesSuspended;
        if (app->updates == 10) {
          s->window = FocusedWindow();
          FocusDesktop();
        }
        if (app->resumes == 1 && !s->reported) {
          s->reported = true;
          Print("resumed %ld\n", app->renders == s->rendersAtResume);
        }
        if (app->resumes == 1 && app->updates >= s->updatesAtResume + 10) {
          Print("summary %ld %ld %ld %ld\n", app->suspends, app->resumes, s->updatesSuspended, s->rendersSuspended);
          bb_app_EndApp();
        }
        GiveUpAfter(app, 2000);
      };
      app->onRender = [s] {
        if (s->suspended) ++s->rendersSuspended;
      };
      app->onSuspend = [s] {
        s->suspended = true;
        bb_app_SetUpdateRate(5);
        // The player clicks back into the game while it waits for events.
        std::thread([window = s->window] {
          usleep(300000);
          FocusWindow(window);
        }).detach();
      };
      app->onResume = [app, s] {
        s->suspended = false;
        s->rendersAtResume = app->renders;
        s->updatesAtResume = app->updates;
        bb_app_SetUpdateRate(60);
      };
    };
    return RunProbeProgram();
  });
  ASSERT_EQ(r.status, 0) << r.out;
  auto summary = Records(r.out, "summary");
  ASSERT_EQ(summary.size(), 1u) << r.out;
  EXPECT_EQ(summary[0][0], 1) << "suspended once";
  EXPECT_EQ(summary[0][1], 1) << "resumed once";
  EXPECT_EQ(summary[0][2], 0) << "no update while suspended";
  EXPECT_GE(summary[0][3], 1) << "frames are still drawn while suspended";
  EXPECT_EQ(Records(r.out, "resumed"), (std::vector<std::vector<long>>{{1}})) << "the timing restarts at once";
}

TEST(WindowLoop, TheCloseBoxEndsTheProgramWithStatusZero) {
  ChildResult r = RunChild([] {
    probe_setup = [](ProbeApp* app) {
      app->onUpdate = [app] {
        if (app->updates == 5) {
          Print("closing\n");
          SendCloseRequest(FocusedWindow());
        }
        if (app->updates > 5) Print("update after close\n");
        GiveUpAfter(app, 600);
      };
    };
    return RunProbeProgram();
  });
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("closing"), std::string::npos);
  // The close arrives with the next event poll: at most the rest of the
  // frame's catch-up runs after it was sent.
  EXPECT_LE(Records(r.out, "update").size(), 3u) << r.out;
}

TEST(WindowLoop, ANewWindowReleasesHeldKeysAndButtonsAndIsPlacedAndTitled) {
  ChildResult r = RunChild([] {
    struct State {
      unsigned long window = 0;
      int recreatedAt = 0;
    };
    probe_setup = [](ProbeApp* app) {
      auto s = std::make_shared<State>();
      app->onUpdate = [app, s] {
        if (app->updates == 3) {
          s->window = FocusedWindow();
          WindowPlace p = PlaceOf(s->window);
          Print("place %ld %ld %ld %ld\n", p.x, p.y, p.width, p.height);
          Print("titled %ld\n", p.title == "Zephrine");
          Print("device %ld %ld\n", bb_app_DeviceWidth(), bb_app_DeviceHeight());
          Print("desktop %ld %ld %ld\n", bb_app__desktopMode->m__width, bb_app__desktopMode->m__height,
                bb_app__displayModes.Length());
          Xdotool("keydown a");
          Xdotool("mousemove --window " + std::to_string(s->window) + " 100 50 mousedown 1");
        }
        if (app->updates > 3 && !s->recreatedAt && bb_input_KeyDown(65) && bb_input_MouseDown(0)) {
          int seq = glfwGraphicsSeq;
          bb_app__game->SetDeviceWindow(640, 480, 0);
          Print("released %ld %ld %ld seq+%ld\n", bb_input_KeyDown(65), bb_input_MouseDown(0), bb_input_TouchDown(0),
                glfwGraphicsSeq - seq);
          Xdotool("keyup a mouseup 1");
          s->recreatedAt = app->updates;
        }
        if (s->recreatedAt && app->updates == s->recreatedAt + 5) {
          WindowPlace p = PlaceOf(FocusedWindow());
          Print("replaced %ld %ld %ld %ld\n", p.x, p.y, p.width, p.height);
          bb_app_EndApp();
        }
        GiveUpAfter(app, 600);
      };
    };
    return RunProbeProgram();
  });
  ASSERT_EQ(r.status, 0) << r.out;
  using Rows = std::vector<std::vector<long>>;
  // Centred on the 1280 x 1024 desktop.
  EXPECT_EQ(Records(r.out, "place"), (Rows{{320, 272, 640, 480}}));
  EXPECT_EQ(Records(r.out, "titled"), (Rows{{1}}));
  EXPECT_EQ(Records(r.out, "device"), (Rows{{640, 480}}));
  auto desktop = Records(r.out, "desktop");
  ASSERT_EQ(desktop.size(), 1u);
  ASSERT_EQ(desktop[0].size(), 3u);
  EXPECT_EQ(desktop[0][0], 1280);
  EXPECT_EQ(desktop[0][1], 1024);
  EXPECT_GE(desktop[0][2], 1);
  EXPECT_EQ(Records(r.out, "released"), (Rows{{0, 0, 0}})) << r.out;
  EXPECT_NE(r.out.find("seq+1"), std::string::npos) << r.out;
  EXPECT_EQ(Records(r.out, "replaced"), (Rows{{320, 272, 640, 480}}));
}

TEST(WindowInput, TypedKeysArriveAsRuntimeCodesAndCharacters) {
  ChildResult r = RunChild([] {
    probe_setup = [](ProbeApp* app) {
      app->onUpdate = [app] {
        if (app->updates == 3) {
          std::thread([] {
            Xdotool("type --delay 40 aZ1");
            Xdotool("key --delay 40 Left BackSpace Return Tab Alt_L F1 KP_Add Escape");
            Xdotool("keydown b");
            usleep(300000);
            Xdotool("keyup b");
            Xdotool("key F12");
          }).detach();
        }
        for (int key = 1; key < INPUT_KEY_CODES; ++key) {
          for (int n = bb_input_KeyHit(key); n > 0; --n) Print("hit %ld\n", key);
        }
        while (int c = bb_input_GetChar()) Print("char %ld\n", c);
        if (bb_input_KeyDown(66)) Print("down 66\n");
        if (bb_input_KeyHit(123)) bb_app_EndApp();
        GiveUpAfter(app, 1200);
      };
    };
    return RunProbeProgram();
  });
  ASSERT_EQ(r.status, 0) << r.out;
  std::vector<long> hits, chars;
  for (const auto& h : Records(r.out, "hit")) hits.push_back(h[0]);
  for (const auto& c : Records(r.out, "char")) chars.push_back(c[0]);
  // Alt has no code; shift comes with the capital letter.
  EXPECT_EQ(hits, (std::vector<long>{65, 16, 90, 49, 37, 8, 13, 9, 112, 107, 27, 66, 123}));
  // Printable characters come from the text input, editing keys from the
  // key itself (cursor keys as private codes above 0xFFFF).
  EXPECT_EQ(chars, (std::vector<long>{'a', 'Z', '1', 0x10000 + 37, 8, 13, 9, '+', 27, 'b'}));
  // A key held for a few updates is down in each of them.
  EXPECT_GE(Records(r.out, "down").size(), 2u);
}

TEST(ProgramExit, WithoutADisplayTheProgramSaysSoAndEndsWithMinusOne) {
  ChildResult r = RunChild(RunProbeProgram, /*withDisplay=*/false);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "glfwInit failed\n");
}

TEST(ProgramExit, EveryOtherWayOutEndsWithItsStatus) {
  // A second application object.
  ChildResult second = RunChild([] {
    probe_main = nullptr;
    probe_setup = [](ProbeApp*) { (new ProbeApp)->m_new(); };
    return RunProbeProgram();
  });
  EXPECT_EQ(second.status, 255);
  EXPECT_EQ(FirstLine(second.out), "Tarvex Runtime Error : App has already been created");
  // No application registered: nothing to run, a normal return.
  ChildResult none = RunChild([] {
    probe_main = [] {};
    return RunProbeProgram();
  });
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
  // A runtime exception escaping start-up, and one escaping an update.
  ChildResult startup = RunChild([] {
    probe_main = [] { dbg_throw("start-up failed"); };
    return RunProbeProgram();
  });
  EXPECT_EQ(startup.status, 255);
  EXPECT_EQ(FirstLine(startup.out), "Tarvex Runtime Error : Uncaught Tarvex Exception");
  ChildResult update = RunChild([] {
    probe_setup = [](ProbeApp* app) { app->onUpdate = [] { dbg_throw("update failed"); }; };
    return RunProbeProgram();
  });
  EXPECT_EQ(update.status, 255);
  EXPECT_EQ(FirstLine(update.out), "Tarvex Runtime Error : Uncaught Tarvex Exception");
  // A crash signal.
  ChildResult crash = RunChild([] {
    probe_setup = [](ProbeApp* app) { app->onUpdate = [] { std::raise(SIGILL); }; };
    return RunProbeProgram();
  });
  EXPECT_EQ(crash.status, 255);
  EXPECT_EQ(FirstLine(crash.out), "Tarvex Runtime Error : Illegal instruction");
  // The game's quit.
  ChildResult quit = RunChild([] {
    probe_setup = [](ProbeApp* app) { app->onUpdate = [] { bb_app_EndApp(); }; };
    return RunProbeProgram();
  });
  EXPECT_EQ(quit.status, 0);
}

}  // namespace
