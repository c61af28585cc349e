#pragma once

// Running the tolvane program as a user does, in a temporary folder, and
// reading and writing the audio files it works on.

#include <sndfile.h>

#include <string>
#include <vector>

struct RunResult
{
  int status = -1; // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// A folder of its own for one test, removed with its contents at the end.
class TempDir
{
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name) const { return mPath + "/" + name; }

private:
  std::string mPath;
};

// Runs the program with these arguments in `workDir`; extraEnv entries are NAME=VALUE.
RunResult RunTolvane(const std::vector<std::string>& args, const std::string& workDir = ".",
                     const std::vector<std::string>& extraEnv = {});

struct Sound
{
  int sampleRate = 44100;
  std::vector<std::vector<float>> channels;
  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Silence with one full-scale sample in every channel at `clickSeconds`.
Sound MakeClick(int sampleRate, int nChannels, double seconds, double clickSeconds);
Sound MakeTestNoise(int sampleRate, int nChannels, double seconds, float amplitude);
// sndfileFormat: e.g. SF_FORMAT_WAV | SF_FORMAT_FLOAT.
bool WriteSound(const std::string& path, const Sound& sound, int sndfileFormat);
// The file's sound, and its sndfile format in *format when not null.
bool ReadSound(const std::string& path, Sound& sound, int* format = nullptr);

// The first frame at or after `from` whose magnitude reaches `threshold`; -1 if none.
long FirstFrameAbove(const std::vector<float>& samples, size_t from, float threshold);
float PeakBetween(const std::vector<float>& samples, size_t from, size_t to);

bool Contains(const std::string& text, const std::string& part);
bool FileExists(const std::string& path);
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
