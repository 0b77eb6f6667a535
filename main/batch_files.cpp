#include "main/batch_files.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/text.h"

namespace veldor {

namespace {

constexpr int kMaxJobs = 256;

bool valid_extension(const std::string& ext) {
    return !ext.empty() && std::all_of(ext.begin(), ext.end(),
                                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

// "png, .cif" -> {".png", ".cif"}; an error text when the list is not one.
std::optional<std::string> parse_extensions(const std::string& list,
                                            std::vector<std::string>& out) {
    const std::string usage = "--to takes extensions separated by commas, such as png,cif";
    std::vector<std::string> seen;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        std::string ext = trim(list.substr(start, comma - start));
        if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
        if (!valid_extension(ext)) return usage;
        if (std::find(seen.begin(), seen.end(), to_lower(ext)) != seen.end())
            return "--to names " + ext + " twice";
        seen.push_back(to_lower(ext));
        out.push_back("." + ext);
        start = comma + 1;
    }
    return std::nullopt;
}

}  // namespace

BatchCommand parse_batch_command(const std::vector<std::string>& args, int cores) {
    BatchCommand command;
    if (args.empty() || args[0] != "--batch") {
        command.error = "batch mode starts with --batch";
        return command;
    }
    FileBatch batch;
    std::optional<std::string> out_dir, to, jobs;
    bool names_an_output = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool mine = a == "--out-dir" || a == "--to" || a == "--jobs";
        if ((mine || is_valued_option(a)) && i + 1 >= args.size()) {
            command.error = a + " needs a value";
            return command;
        }
        if (a == "--out-dir") {
            out_dir = args[++i];
        } else if (a == "--to") {
            to = args[++i];
        } else if (a == "--jobs") {
            jobs = args[++i];
        } else if (a == "--worker") {
            batch.worker = true;
        } else if (a.rfind("--", 0) != 0) {
            batch.inputs.push_back(a);
        } else {
            names_an_output = names_an_output || a == "--out";
            batch.shared_args.push_back(a);
            if (is_valued_option(a)) batch.shared_args.push_back(args[++i]);
        }
    }

    if (!out_dir && !to && !jobs && !batch.worker && batch.inputs.size() <= 1) {
        BatchParse one = parse_batch_options(args);
        command.single = std::move(one.options);
        command.error = std::move(one.error);
        return command;
    }

    auto fail = [&command](std::string why) {
        command.error = std::move(why);
        return command;
    };
    if (names_an_output)
        return fail(
            "--out names the output of one file; for several files use --out-dir DIR "
            "and --to EXT,...");
    if (batch.inputs.empty() && !batch.worker) return fail("--batch needs a FILE");
    if (!out_dir && !to) return fail("several files need --out-dir DIR and --to EXT,...");
    if (!out_dir) return fail("--to needs --out-dir DIR");
    if (!to) return fail("--out-dir needs --to EXT,... (such as --to png,cif)");
    if (out_dir->empty()) return fail("--out-dir needs a folder");
    batch.out_dir = *out_dir;
    if (const auto why = parse_extensions(*to, batch.extensions)) return fail(*why);
    batch.jobs = std::clamp(cores, 1, kMaxJobs);
    if (jobs) {
        const auto n = parse_int(*jobs);
        if (!n || *n < 1 || *n > kMaxJobs) return fail("--jobs takes a number from 1 to 256");
        batch.jobs = static_cast<int>(*n);
    }

    // The shared options are those of one file's command line, so they are
    // checked, and mean, exactly what they do there.
    std::vector<std::string> one{"--batch", "FILE"};
    one.insert(one.end(), batch.shared_args.begin(), batch.shared_args.end());
    for (const std::string& ext : batch.extensions) {
        one.push_back("--out");
        one.push_back("FILE" + ext);
    }
    BatchParse parsed = parse_batch_options(one);
    if (!parsed.options) return fail(parsed.error);
    batch.options = std::move(*parsed.options);
    batch.shared_args.insert(batch.shared_args.begin(), {"--out-dir", batch.out_dir, "--to", *to});
    command.files = std::move(batch);
    return command;
}

std::vector<std::string> outputs_for(const FileBatch& batch, const std::string& input) {
    const std::string name = std::filesystem::path(input).stem().string();
    std::vector<std::string> outputs;
    for (const std::string& ext : batch.extensions)
        outputs.push_back((std::filesystem::path(batch.out_dir) / (name + ext)).string());
    return outputs;
}

BatchOptions options_for(const FileBatch& batch, const std::string& input) {
    BatchOptions o = batch.options;
    o.input = input;
    o.outputs = outputs_for(batch, input);
    return o;
}

std::vector<std::optional<std::string>> output_clashes(const FileBatch& batch) {
    std::vector<std::optional<std::string>> clashes(batch.inputs.size());
    std::map<std::string, std::size_t> first_writer;
    for (std::size_t i = 0; i < batch.inputs.size(); ++i) {
        // Every output of an input shares its name, so the first tells.
        const std::string out = outputs_for(batch, batch.inputs[i]).front();
        const auto [it, fresh] = first_writer.emplace(out, i);
        if (!fresh) clashes[i] = out + " is the output of " + batch.inputs[it->second] + " already";
    }
    return clashes;
}

std::string file_batch_help_text() {
    return "Batch over many files:\n"
           "  veldor --batch FILE... [options] --out-dir DIR --to EXT,... [--jobs N]\n"
           "  Draws and converts every FILE with the same options, writing DIR/NAME.EXT\n"
           "  for each extension, NAME being the file's name without its extension. A\n"
           "  file that fails is reported with its name and the message, and the others\n"
           "  go on. The last line says how many files were written and how many\n"
           "  failed; the exit status is 0 only when none failed.\n"
           "  --out-dir DIR        the folder of the outputs (made when missing)\n"
           "  --to EXT,...         the outputs of each file, by extension (png,cif)\n"
           "  --jobs N             worker processes (default: the number of cores)\n";
}

}  // namespace veldor
