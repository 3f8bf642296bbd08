#include "EngineTestSupport.h"

#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "kivoengine.h"

namespace enginetest {
namespace {

std::mutex g_mutex;
std::condition_variable g_changed;
ConversionReport g_report;
int g_percent = 0;

int OnInfo(const char* text) {
    std::lock_guard lock(g_mutex);
    g_report.infoLines.emplace_back(text);
    return 0;
}

int OnPercent(int percent) {
    std::lock_guard lock(g_mutex);
    g_report.percents.push_back(percent);
    g_percent = percent;
    g_changed.notify_all();
    return 0;
}

void Post(KivoWindow*, unsigned msg, uintptr_t wparam, intptr_t) {
    std::lock_guard lock(g_mutex);
    if (msg == WM_CONVERTDONE && ++g_report.doneMessages == 1) {
        g_report.doneAt = std::chrono::steady_clock::now();
        g_report.outcome = long(wparam);
    }
    g_changed.notify_all();
}

KivoWindow g_window{Post};

}  // namespace

ScratchFolder::ScratchFolder() {
    char pattern[] = "/tmp/kivo-engine-test-XXXXXX";
    path_ = mkdtemp(pattern);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string RunAndRead(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
        output.append(buffer, n);
    }
    return output;
}

bool RunFfmpeg(const std::string& arguments) {
    std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments;
    return std::system(command.c_str()) == 0;
}

std::map<std::string, std::string> ProbeWithTool(const std::string& path) {
    std::map<std::string, std::string> values;
    std::string text = RunAndRead("ffprobe -v error -show_format -show_streams -of flat=s=_ " +
                                  Quote(path) + " 2>/dev/null");
    std::istringstream lines(text);
    std::string line;
    bool haveVideo = false;
    bool haveAudio = false;
    std::map<std::string, std::string> streamKind;  // stream index -> "video"/"audio"
    // First pass: which stream index is which kind.
    std::vector<std::pair<std::string, std::string>> pairs;
    while (std::getline(lines, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        pairs.emplace_back(key, value);
    }
    for (const auto& [key, value] : pairs) {
        const std::string prefix = "streams_stream_";
        if (key.rfind(prefix, 0) == 0 && key.size() > prefix.size()) {
            std::string rest = key.substr(prefix.size());
            std::string index = rest.substr(0, rest.find('_'));
            if (rest == index + "_codec_type") {
                if (value == "video" && !haveVideo) {
                    streamKind[index] = "video";
                    haveVideo = true;
                } else if (value == "audio" && !haveAudio) {
                    streamKind[index] = "audio";
                    haveAudio = true;
                }
            }
        }
    }
    for (const auto& [key, value] : pairs) {
        const std::string prefix = "streams_stream_";
        if (key.rfind(prefix, 0) == 0) {
            std::string rest = key.substr(prefix.size());
            std::string index = rest.substr(0, rest.find('_'));
            auto kind = streamKind.find(index);
            if (kind != streamKind.end()) {
                values[kind->second + "." + rest.substr(index.size() + 1)] = value;
            }
        } else if (key.rfind("format_", 0) == 0) {
            std::string name = key.substr(7);
            if (name.rfind("tags_", 0) == 0) {
                name = "tag." + name.substr(5);
            }
            values["format." + name] = value;
        }
    }
    return values;
}

Vector& Vector::Set(const std::string& option, const std::string& value) {
    for (size_t i = 1; i + 1 < entries.size(); ++i) {
        if (entries[i] == option) {
            entries[i + 1] = value;
            return *this;
        }
    }
    std::abort();
}

Vector MakeVector(const std::string& duration, const std::string& input, const std::string& output,
                  const std::string& vcodec, const std::string& size, const std::string& rate,
                  const std::string& videoKbps, const std::string& channels,
                  const std::string& sampleRate, const std::string& audioKbps,
                  const std::string& format) {
    return Vector{{"hacktest.exe", "-y",      "-t",        duration,     "-i",
                   input,          "-vol",    "100",       "-bitexact",  "-vcodec",
                   vcodec,         "-padtop", "0",         "-padbottom", "0",
                   "-padleft",     "0",       "-padright", "0",          "-s",
                   size,           "-b",      videoKbps,   "-r",         rate,
                   "-acodec",      "aac",     "-ac",       channels,     "-ar",
                   sampleRate,     "-ab",     audioKbps,   "-f",         format,
                   output}};
}

void StartConversion(const Vector& vector) {
    {
        std::lock_guard lock(g_mutex);
        g_report = ConversionReport{};
        g_percent = 0;
    }
    SetGetInfoCallBackFun(OnInfo);
    SetGetPercentCallBackFun(OnPercent);
    std::vector<char*> pointers;
    for (const std::string& entry : vector.entries) {
        pointers.push_back(const_cast<char*>(entry.c_str()));
    }
    int result = _X(&g_window, int(pointers.size()), pointers.data());
    std::lock_guard lock(g_mutex);
    g_report.result = result;
}

ConversionReport WaitForDone(double timeoutSeconds) {
    std::unique_lock lock(g_mutex);
    g_changed.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                       [] { return g_report.doneMessages > 0; });
    // A second end message would come right behind the first.
    g_changed.wait_for(lock, std::chrono::milliseconds(50),
                       [] { return g_report.doneMessages > 1; });
    return g_report;
}

ConversionReport Convert(const Vector& vector, double timeoutSeconds) {
    StartConversion(vector);
    return WaitForDone(timeoutSeconds);
}

int CurrentPercent() {
    std::lock_guard lock(g_mutex);
    return g_percent;
}

std::string DecodeRgb(const std::string& path, double seconds, int width, int height) {
    char at[32];
    std::snprintf(at, sizeof at, "%.3f", seconds);
    std::string rgb =
        RunAndRead("ffmpeg -nostdin -v error -ss " + std::string(at) + " -i " + Quote(path) +
                   " -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    return rgb.size() == size_t(width) * height * 3 ? rgb : std::string();
}

Rgb PixelAt(const std::string& rgb, int width, int x, int y) {
    size_t at = (size_t(y) * width + x) * 3;
    if (at + 2 >= rgb.size()) {
        return Rgb{-1, -1, -1};
    }
    return Rgb{uint8_t(rgb[at]), uint8_t(rgb[at + 1]), uint8_t(rgb[at + 2])};
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> FilesContaining(const std::string& folder, const std::string& part) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        std::string name = entry.path().filename().string();
        if (name.find(part) != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

bool WaitForPercent(int percent, double timeoutSeconds) {
    std::unique_lock lock(g_mutex);
    g_changed.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                       [percent] { return g_percent >= percent || g_report.doneMessages > 0; });
    return g_percent >= percent;
}

}  // namespace enginetest
