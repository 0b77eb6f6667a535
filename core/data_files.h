#pragma once
// Where Veldor finds its data files and writes its working files, and the
// start-up check that every required data file is present.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// The two folders the program works with.
struct ProgramPaths {
    std::string data_dir;  // read: radii, catalogues, help
    std::string work_dir;  // written: reports, exchange and scratch files
};

// The data files the program cannot start without, in the order checked.
const std::vector<std::string>& required_data_files();

// The data directory: the first existing one of `env_data_dir` (the
// VELDOR_DATA variable, when set and not empty), <exe_dir>/data and
// <exe_dir>/../share/veldor. Empty when none exists.
std::string find_data_directory(const std::string& exe_dir, const std::string& env_data_dir);

// The work directory: `env_work_dir` (VELDOR_WORKDIR) when set, else `current_dir`.
std::string find_work_directory(const std::string& env_work_dir, const std::string& current_dir);

// The path of `name` inside `dir`, matching the file name without regard
// to case; nullopt when there is no such regular file.
std::optional<std::string> find_file_nocase(const std::string& dir, std::string_view name);

// The first required file missing from `dir`, in the order checked.
std::optional<std::string> first_missing_data_file(const std::string& dir);

// The message shown when a required data file is missing.
std::string missing_data_file_message(const std::string& name);

// What a file named on the command line is, by its extension.
enum class StructureFileKind { Unknown, Vld, Shelx, LazyPulverix, PowderCell, Tessard, Cif };
// The file name (without its folders) is lower-cased and the first extension
// it contains decides:
// ".vld"; ".ins", ".shx", ".inp", ".out", ".lst", ".res" (the SHELXL result
// file, an instruction file too); ".lzy"; ".cel"; ".cry"; ".cif".
StructureFileKind structure_file_kind(std::string_view file_name);

}  // namespace veldor
