#pragma once
// A work folder of its own for one test, removed afterwards.

#include <filesystem>
#include <random>
#include <string>

namespace veldor::testing {

class WorkFolder {
  public:
    WorkFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("veldor_test_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace veldor::testing
