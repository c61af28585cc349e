// The bundle in the LV2 tools and a real host, run as programs: the Turtle
// parses and validates, lv2ls and lv2info find and describe it, lv2apply
// renders a click file bit-identically to the host program's component
// render, and jalv on a dummy JACK server loads it, lists its controls and
// presets and sets a control.

#include "effect/TolvaneDelayParams.h"
#include "tests/lv2/LV2Host.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>

extern char** environ;

namespace
{
struct Output
{
  int status = -1;
  std::string text; // standard output and error
};

// Runs a shell command line with LV2_PATH at the build's bundles.
Output RunCommand(const std::string& command)
{
  Output result;
  const std::string line = "LV2_PATH='" + LV2Dir() + "' " + command + " 2>&1";
  FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.text.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

size_t Count(const std::string& text, const std::string& what)
{
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

using Sound = std::vector<std::vector<float>>;

class ToolsTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    char pattern[] = "/tmp/tolvane-lv2-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    mDir = pattern;
  }
  void TearDown() override { RunCommand("rm -rf '" + mDir + "'"); }
  std::string Path(const std::string& name) const { return mDir + "/" + name; }

  // A stereo 32-bit float WAV at 44.1 kHz.
  static bool WriteSound(const std::string& path, const Sound& sound)
  {
    SF_INFO info = {};
    info.samplerate = 44100;
    info.channels = static_cast<int>(sound.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    std::vector<float> frames;
    for (size_t i = 0; i < sound[0].size(); ++i)
      for (const auto& channel : sound)
        frames.push_back(channel[i]);
    const sf_count_t n = static_cast<sf_count_t>(sound[0].size());
    const bool ok = sf_writef_float(file, frames.data(), n) == n;
    return sf_close(file) == 0 && ok;
  }
  static Sound ReadSound(const std::string& path)
  {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> frames(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    Sound sound(static_cast<size_t>(info.channels), std::vector<float>(info.frames));
    for (sf_count_t i = 0; i < info.frames; ++i)
      for (int c = 0; c < info.channels; ++c)
        sound[c][i] = frames[static_cast<size_t>(i * info.channels + c)];
    return sound;
  }

  std::string mDir;
};

// The frame of the loudest sample in [from, end).
size_t Loudest(const std::vector<float>& channel, size_t from)
{
  size_t best = from;
  for (size_t i = from; i < channel.size(); ++i)
    if (std::fabs(channel[i]) > std::fabs(channel[best])) best = i;
  return best;
}
} // namespace

TEST_F(ToolsTest, TurtleFilesParseAndValidate)
{
  for (const char* file : {"manifest.ttl", "TolvaneDelay.ttl", "presets.ttl"})
  {
    const Output parsed = RunCommand("serdi -i turtle -o ntriples '" + LV2BundleDir() + file + "'");
    EXPECT_EQ(0, parsed.status) << file << ": " << parsed.text;
    EXPECT_GT(Count(parsed.text, " .\n"), 3u) << file;
  }
  // Against the LV2 vocabularies the headers package installs (not against
  // other plug-ins that may sit beside them).
  const Output valid =
      RunCommand("sord_validate $(dpkg -L lv2-dev | grep '^/usr/lib/lv2/.*\\.ttl$') '" +
                 LV2BundleDir() + "'*.ttl");
  EXPECT_EQ(0, valid.status) << valid.text;
  EXPECT_EQ(0u, Count(valid.text, "error:")) << valid.text;
}

TEST_F(ToolsTest, TheModuleExportsOnlyItsDescriptor)
{
  const Output symbols =
      RunCommand("nm -D --defined-only '" + LV2BundleDir() + "TolvaneDelay.so' | awk '{print $3}'");
  EXPECT_EQ(0, symbols.status);
  EXPECT_EQ("lv2_descriptor\n", symbols.text);
}

TEST_F(ToolsTest, LV2lsAndLV2infoFindAndDescribeThePlugIn)
{
  const Output list = RunCommand("lv2ls");
  EXPECT_EQ(0, list.status);
  EXPECT_EQ(std::string(kLV2URI) + "\n", list.text);

  const Output info = RunCommand(std::string("lv2info ") + kLV2URI);
  ASSERT_EQ(0, info.status) << info.text;
  EXPECT_EQ(34u, Count(info.text, "\tPort "));
  EXPECT_EQ(4u, Count(info.text, "lv2core#AudioPort"));
  EXPECT_EQ(29u, Count(info.text, "lv2core#ControlPort")); // 28 parameters and the tempo
  EXPECT_EQ(1u, Count(info.text, "atom#AtomPort"));
  for (const char* name : kParamNames)
    EXPECT_EQ(1u, Count(info.text, std::string("Name:        ") + name + "\n")) << name;
  EXPECT_NE(std::string::npos, info.text.find("Tolvane Delay"));
  EXPECT_EQ(std::string::npos, info.text.find("Required Features"));
}

// Echoes of the factory preset: 3 and 5 quarters of a beat of 4 parts, the
// first tap panned left and the second right.
TEST_F(ToolsTest, LV2applyRendersTheComponentsBitsWithEchoesOnTheBeat)
{
  const size_t click = 441;
  Sound in(2, std::vector<float>(44100 * 3 / 2, 0.0f));
  in[0][click] = in[1][click] = 0.5f;
  ASSERT_TRUE(WriteSound(Path("clicks.wav"), in));

  struct Case
  {
    int bpm;
    std::string lv2Settings, componentSettings;
  };
  for (const Case& c : {Case{120, "", ""},
                        Case{60, " -c feedback1 30 -c lp2 55", " --set Feedback1=30 --set LP2=55"}})
  {
    const std::string bpm = std::to_string(c.bpm);
    const Output applied =
        RunCommand("lv2apply -i '" + Path("clicks.wav") + "' -o '" + Path("lv2.wav") + "' -c bpm " +
                   bpm + c.lv2Settings + " " + kLV2URI);
    ASSERT_EQ(0, applied.status) << applied.text;
    const Output rendered =
        RunCommand(std::string("'") + TOLVANE_PROGRAM + "' render '" + Path("clicks.wav") + "' '" +
                   Path("component.wav") + "' --tempo " + bpm + " --tail 0" + c.componentSettings +
                   " --component '" + TOLVANE_COMPONENTS_DIR_DEFAULT + "/TolvaneDelay.component'");
    ASSERT_EQ(0, rendered.status) << rendered.text;

    const Sound lv2 = ReadSound(Path("lv2.wav"));
    ASSERT_EQ(2u, lv2.size());
    ASSERT_EQ(in[0].size(), lv2[0].size());
    EXPECT_TRUE(lv2 == ReadSound(Path("component.wav"))) << bpm << " bpm";

    // The gliding delay times settle a little short of their targets in single
    // precision: a tenth of a percent.
    const double beatMS = 60000.0 / c.bpm;
    auto echoMS = [&](int channel) { return (Loudest(lv2[channel], click + 10) - click) / 44.1; };
    EXPECT_NEAR(beatMS * 3 / 4, echoMS(0), beatMS * 3 / 4 * 1e-3) << bpm << " bpm";
    EXPECT_NEAR(beatMS * 5 / 4, echoMS(1), beatMS * 5 / 4 * 1e-3) << bpm << " bpm";
  }
}

TEST_F(ToolsTest, JalvLoadsListsAndSetsAControl)
{
  const std::string server = "tolvane" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
  setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
  const char* argv[] = {"jackd", "-r",    "-n", server.c_str(), "-d",   "dummy",
                        "-r",    "44100", "-p", "512",          nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t jackd = 0;
  ASSERT_EQ(0, posix_spawnp(&jackd, "jackd", &actions, nullptr, const_cast<char**>(argv), environ));
  posix_spawn_file_actions_destroy(&actions);

  {
    std::ofstream commands(Path("commands"));
    commands << "presets\ncontrols\nset feedback1 30\ncontrols\n";
  }
  Output jalv;
  // The server takes a moment to start; jalv fails until it is up.
  for (int attempt = 0; attempt < 40; ++attempt)
  {
    jalv = RunCommand("timeout 20 jalv -n tolvane_test " + std::string(kLV2URI) + " < '" +
                      Path("commands") + "'");
    if (jalv.text.find("Sample rate:") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  kill(jackd, SIGTERM);
  waitpid(jackd, nullptr, 0);

  EXPECT_NE(std::string::npos, jalv.text.find("Sample rate:  44100 Hz")) << jalv.text;
  EXPECT_NE(std::string::npos, jalv.text.find(std::string(kLV2URI) + "#preset1 (Tolvane Delay)"))
      << jalv.text;
  EXPECT_GE(Count(jalv.text, "feedback1 = 75.000000\n"), 1u) << jalv.text;
  EXPECT_GE(Count(jalv.text, "feedback1 = 30.000000\n"), 2u) << jalv.text; // set, then listed
  EXPECT_GE(Count(jalv.text, "_2lfo_intensity = 0.000000\n"), 2u);
  EXPECT_GE(Count(jalv.text, "bpm = 120.000000\n"), 2u);
}
