#pragma once
// What the job tests share: the worked example's job file, edits of it, and scratch
// files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace trelvan::testing {

inline std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The job of the worked example (tests/golden/run_typed_n4), as the program saves it.
inline const std::string& exampleJob() {
    static const std::string text =
        fileContents(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/run_typed_n4.trv");
    return text;
}

// `text` with `from` replaced by `to`; `from` must occur exactly once.
inline std::string edited(const std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "not in the job: " << from;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "more than once in the job: " << from;
    if (at == std::string::npos) return text;
    return text.substr(0, at) + to + text.substr(at + from.size());
}

inline std::string example(const std::string& from, const std::string& to) {
    return edited(exampleJob(), from, to);
}

// The example weighted as `weights` (a JSON object) says: a job of version 2.
inline std::string weightedExample(const std::string& weights) {
    const std::string tolerance = "  \"angleTolerance\": 2.5,\n";
    return edited(example(tolerance, tolerance + "  \"weights\": " + weights + ",\n"), "\"trelvan\": 1",
                  "\"trelvan\": 2");
}

// The example weighted by 2 mm + 2 mm/km and 2.5″, as the program writes it.
inline std::string instrumentExample() {
    return weightedExample("{\n    \"model\": \"instrument\",\n    \"a\": 2,\n    \"b\": 2,\n    \"sigmaQ\": 2.5,\n"
                           "    \"combine\": \"linear\"\n  }");
}

// A fresh folder of its own for one test, removed with it.
class ScratchFolder {
public:
    ScratchFolder() {
        path_ = std::filesystem::path(::testing::TempDir()) /
                ("job_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    // The names of the files in the folder.
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            list.push_back(entry.path().filename().string());
        std::sort(list.begin(), list.end());
        return list;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

}  // namespace trelvan::testing
