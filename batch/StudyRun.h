#pragma once
// kalvex-study without its process: the command line in, the exit status out. The program's
// main adds the Ctrl+C handler that sets `cancel`.
#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace kalvex::batch {

inline constexpr int kExitCancelled = 130;  // as a shell reports a program ended by SIGINT

struct StudyStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;  // draw the progress bar
};

// Returns 0 when done, 1 after an error (its message then stands on `err`), 130 when
// `cancel` stopped the study: the rows finished by then are written all the same.
int studyMain(const std::vector<std::string>& args, const StudyStreams& streams, const std::atomic<bool>& cancel);

}  // namespace kalvex::batch
