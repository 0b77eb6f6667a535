#pragma once
// Batch mode over many files in one process: every input is drawn and
// converted by the one-file run with the same options, its outputs named
// DIR/NAME.EXT after the input's name.
//
//   veldor --batch FILE... [options] --out-dir DIR --to EXT,... [--jobs N]

#include <optional>
#include <string>
#include <vector>

#include "main/batch_options.h"

namespace veldor {

struct FileBatch {
    std::vector<std::string> inputs;
    std::string out_dir;
    std::vector<std::string> extensions;  // with their dot, in the order given: ".png", ".cif"
    int jobs = 1;                         // worker processes (the number of cores by default)
    bool worker = false;                  // a worker process: inputs come on standard input
    // The options every input shares, parsed as the command line of one file.
    BatchOptions options;
    // The arguments that shape each file's run (everything but the inputs
    // and --jobs), as a worker process is given them.
    std::vector<std::string> shared_args;
};

// What `veldor --batch ...` asks for: one file with named outputs, or many
// files into a folder.
struct BatchCommand {
    std::optional<BatchOptions> single;
    std::optional<FileBatch> files;
    std::string error;  // why the command line was refused
};

// Parses the arguments after the program name; args[0] must be "--batch".
// The many-file form is chosen by --out-dir, --to or --jobs, or by more than
// one input; otherwise the command is the one-file form, parsed as it always
// was. `cores` is the default of --jobs.
BatchCommand parse_batch_command(const std::vector<std::string>& args, int cores);

// The outputs of `input`: DIR/NAME.EXT for each extension, NAME the input's
// file name without its last extension.
std::vector<std::string> outputs_for(const FileBatch& batch, const std::string& input);

// The options of one input's run.
BatchOptions options_for(const FileBatch& batch, const std::string& input);

// For each input, the reason it is not run because an earlier input has the
// same outputs (x.cif and x.ins, or a file given twice); nullopt for the
// others.
std::vector<std::optional<std::string>> output_clashes(const FileBatch& batch);

std::string file_batch_help_text();

}  // namespace veldor
