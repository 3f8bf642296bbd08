// Helpers for the engine's tests: a scratch folder with sample clips made by the ffmpeg tool,
// a way to run one conversion through the exports and wait for its end message, and the
// ffprobe tool's view of a file.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace enginetest {

// A scratch folder, removed with everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs the ffmpeg tool quietly with `arguments` (already quoted); true on success.
bool RunFfmpeg(const std::string& arguments);

// Runs a shell command and gives what it printed on its standard output.
std::string RunAndRead(const std::string& command);

// Single-quotes a path for the shell.
std::string Quote(const std::string& text);

// The ffprobe tool's description of a file: keys "format.<name>", "video.<name>",
// "audio.<name>" (first stream of each kind), plus "format.tag.major_brand" and so on.
std::map<std::string, std::string> ProbeWithTool(const std::string& path);

// What one conversion reported.
struct ConversionReport {
    int doneMessages = 0;  // WM_CONVERTDONE posted to the window
    long outcome = -1;     // the wparam of the first WM_CONVERTDONE
    std::vector<std::string> infoLines;
    std::vector<int> percents;
    int result = 0;                                // what _X returned
    std::chrono::steady_clock::time_point doneAt;  // when the first WM_CONVERTDONE came
    std::string LastLine() const { return infoLines.empty() ? std::string() : infoLines.back(); }
};

// A vector as the job runner writes it; entries can be changed before running.
struct Vector {
    std::vector<std::string> entries;
    // Sets the value after `option` (which must be present).
    Vector& Set(const std::string& option, const std::string& value);
};

// The runner's 36 entries for one source and family-style settings.
Vector MakeVector(const std::string& duration, const std::string& input, const std::string& output,
                  const std::string& vcodec, const std::string& size, const std::string& rate,
                  const std::string& videoKbps, const std::string& channels,
                  const std::string& sampleRate, const std::string& audioKbps,
                  const std::string& format);

// Calls _X with the vector and waits (up to `timeoutSeconds`) for WM_CONVERTDONE, then waits a
// little longer to catch a second message that should not come.
ConversionReport Convert(const Vector& vector, double timeoutSeconds = 60);

// Starts a conversion without waiting; WaitForDone then collects the report.
void StartConversion(const Vector& vector);
ConversionReport WaitForDone(double timeoutSeconds = 60);

// Percent reached so far by the running conversion (for stop tests).
int CurrentPercent();

// Waits until the running conversion has reported at least `percent` or has ended, at most
// `timeoutSeconds`; true when the percentage was reached.
bool WaitForPercent(int percent, double timeoutSeconds);

// One picture of a file as RGB bytes (width x height x 3), decoded by the ffmpeg tool at
// `seconds`; empty when it cannot be decoded.
std::string DecodeRgb(const std::string& path, double seconds, int width, int height);

// Red, green and blue at (x, y) of such a picture.
struct Rgb {
    int r, g, b;
};
Rgb PixelAt(const std::string& rgb, int width, int x, int y);

// Reads a whole file; empty when missing.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);

// Files in `folder` whose name contains `part`.
std::vector<std::string> FilesContaining(const std::string& folder, const std::string& part);

}  // namespace enginetest
