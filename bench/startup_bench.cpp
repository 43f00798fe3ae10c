// Start-up benchmark: time from starting a process to the first line it
// prints once its window is shown, for Quillomat, for a bare Qt window and
// for the bare window with one label (which adds Qt's font start-up),
// measured in turn in the same run. Usage:
//   startup_bench [runs] [quillomat] [bare_window]

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from fork to the first byte of the program's first line.
double timeToShown(const std::string& program, const char* argument = nullptr) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  char byte = 0;
  const bool gotLine = read(pipeEnds[0], &byte, 1) == 1;
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  while (read(pipeEnds[0], &byte, 1) == 1) {
  }
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!gotLine || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(program + " did not report a shown window");
  }
  return ms;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void print(const char* name, const std::vector<double>& ms) {
  const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
  std::printf("%-12s median %7.1f ms  mean %7.1f ms  min %7.1f ms  max %7.1f ms\n", name, median(ms), mean,
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

}  // namespace

int main(int argc, char* argv[]) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const std::string quillomat = argc > 2 ? argv[2] : QUILLOMAT_EXE;
  const std::string bare = argc > 3 ? argv[3] : BARE_WINDOW_EXE;

  char runtime[] = "/tmp/quillomat-bench-XXXXXX";
  if (mkdtemp(runtime) == nullptr) return 1;
  setenv("XDG_RUNTIME_DIR", runtime, 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);

  try {
    // Warm the file cache and the font cache first.
    for (int i = 0; i < 3; ++i) {
      timeToShown(quillomat);
      timeToShown(bare);
      timeToShown(bare, "--label");
    }
    std::vector<double> quillomatMs;
    std::vector<double> bareMs;
    std::vector<double> labelMs;
    for (int i = 0; i < runs; ++i) {
      quillomatMs.push_back(timeToShown(quillomat));
      bareMs.push_back(timeToShown(bare));
      labelMs.push_back(timeToShown(bare, "--label"));
    }
    std::printf("%d runs each, offscreen, process start to window shown\n", runs);
    print("quillomat", quillomatMs);
    print("bare window", bareMs);
    print("bare + label", labelMs);
    const double ratio = median(quillomatMs) / median(bareMs);
    std::printf("quillomat / bare window:  %.2f (goal at most 1.20): %s\n", ratio, ratio <= 1.2 ? "met" : "missed");
    std::printf("quillomat / bare + label: %.2f\n", median(quillomatMs) / median(labelMs));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "startup_bench: %s\n", error.what());
    rmdir(runtime);
    return 1;
  }
  rmdir(runtime);
  return 0;
}
