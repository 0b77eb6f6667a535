// A stand-in for a batch worker process, to test how the batch spreads its
// files and survives a worker that dies: it answers every input "drew NAME
// in FOLDER" (its scratch folder), crashes on "crash:..." and stops on
// "stop:...".
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "main/batch_jobs.h"

int main() {
    const char* work = std::getenv("VELDOR_WORKDIR");
    const std::string folder = work ? std::filesystem::path(work).filename().string() : "nowhere";
    bool broken = false;
    while (const auto input = veldor::read_frame(std::cin, broken)) {
        if (input->rfind("crash:", 0) == 0) std::abort();
        if (input->rfind("stop:", 0) == 0) return 3;
        const veldor::FileOutcome outcome{true, "drew " + *input + " in " + folder + "\n"};
        std::cout << veldor::frame(veldor::answer_payload(outcome)) << std::flush;
    }
    return broken ? 2 : 0;
}
