#include "HostTestSupport.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-test-XXXXXX").string();
  if (mkdtemp(pattern.data())) mPath = pattern;
}

TempDir::~TempDir()
{
  std::error_code ignored;
  if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
}

RunResult RunTolvane(const std::vector<std::string>& args, const std::string& workDir,
                     const std::vector<std::string>& extraEnv)
{
  TempDir capture;
  const std::string outPath = capture.Path("stdout"), errPath = capture.Path("stderr");
  const pid_t pid = fork();
  if (pid == 0)
  {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || chdir(workDir.c_str()) != 0) _exit(127);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    for (const std::string& entry : extraEnv)
      putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv = {const_cast<char*>(TOLVANE_EXE)};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(TOLVANE_EXE, argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.status = WEXITSTATUS(status);
  result.out = ReadText(outPath);
  result.err = ReadText(errPath);
  return result;
}

Sound MakeClick(int sampleRate, int nChannels, double seconds, double clickSeconds)
{
  Sound sound;
  sound.sampleRate = sampleRate;
  sound.channels.assign(nChannels, std::vector<float>(static_cast<size_t>(seconds * sampleRate)));
  for (auto& channel : sound.channels)
    channel[static_cast<size_t>(std::lround(clickSeconds * sampleRate))] = 1.0f;
  return sound;
}

Sound MakeTestNoise(int sampleRate, int nChannels, double seconds, float amplitude)
{
  Sound sound;
  sound.sampleRate = sampleRate;
  sound.channels.assign(nChannels, std::vector<float>(static_cast<size_t>(seconds * sampleRate)));
  unsigned state = 12345u;
  for (auto& channel : sound.channels)
    for (float& sample : channel)
    {
      state = state * 1664525u + 1013904223u;
      sample = amplitude * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
  return sound;
}

bool WriteSound(const std::string& path, const Sound& sound, int sndfileFormat)
{
  SF_INFO info = {};
  info.samplerate = sound.sampleRate;
  info.channels = static_cast<int>(sound.channels.size());
  info.format = sndfileFormat;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<float> interleaved(sound.Frames() * sound.channels.size());
  for (size_t i = 0; i < sound.Frames(); ++i)
    for (size_t c = 0; c < sound.channels.size(); ++c)
      interleaved[i * sound.channels.size() + c] = sound.channels[c][i];
  const sf_count_t written = sf_writef_float(file, interleaved.data(), sf_count_t(sound.Frames()));
  return sf_close(file) == 0 && written == sf_count_t(sound.Frames());
}

bool ReadSound(const std::string& path, Sound& sound, int* format)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
  const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  sound.sampleRate = info.samplerate;
  sound.channels.assign(info.channels, std::vector<float>(static_cast<size_t>(got)));
  for (sf_count_t i = 0; i < got; ++i)
    for (int c = 0; c < info.channels; ++c)
      sound.channels[c][static_cast<size_t>(i)] =
          interleaved[static_cast<size_t>(i * info.channels + c)];
  if (format) *format = info.format;
  return got == info.frames;
}

long FirstFrameAbove(const std::vector<float>& samples, size_t from, float threshold)
{
  for (size_t i = from; i < samples.size(); ++i)
    if (std::fabs(samples[i]) >= threshold) return static_cast<long>(i);
  return -1;
}

float PeakBetween(const std::vector<float>& samples, size_t from, size_t to)
{
  float peak = 0.0f;
  for (size_t i = from; i < to && i < samples.size(); ++i)
    peak = std::max(peak, std::fabs(samples[i]));
  return peak;
}

bool Contains(const std::string& text, const std::string& part)
{
  return text.find(part) != std::string::npos;
}

bool FileExists(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}
