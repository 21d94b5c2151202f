#include "benchstats.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

// The program as a command, whole processes from fork to exit as a script
// or a build starts them: the bare start (--version), the export of the X11
// 5x7 font's ASCII and of GNU Unifont (57,086 glyphs) beside bdftopcf
// converting the same BDF file, and, for the window, the program started
// without a command until its main window's first paint is flushed (Qt's
// painting log says so on standard error; the process is then killed).
// Then each export format on the 5x7 ASCII and, where the format holds it,
// on GNU Unifont; fonts read back from their source (a file of 131 u8x8
// fonts, Unifont as u8g2 and as LVGL); with KELVOR_BDFCONV naming u8g2's own
// converter (bdfconv), the u8g2 exports beside it, and with KELVOR_LV_FONT_CONV
// naming LVGL's (lv_font_conv), the LVGL exports: time and the size of the
// font data.
// Medians; the CPU time beside the wall time says how much of the wall time
// a busy machine added.
//
//   bench_command KELVOR21 [RUNS]     RUNS of each small command, default 31
namespace {

const char *const kMisc = "/usr/share/fonts/X11/misc/";

struct Run
{
    double wall = -1; // ms
    double cpu = 0;   // ms, user + system
    double peakMiB = 0;
    int status = -1;
};

struct Figures
{
    double wall = -1, cpu = 0, peakMiB = 0;
};

long long nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void toNull(int fd)
{
    const int null = open("/dev/null", O_RDWR);
    dup2(null, fd);
    close(null);
}

// Runs `argv` with empty input and its output thrown away.
Run runOnce(const std::vector<std::string> &argv)
{
    std::vector<char *> pointers;
    for (const std::string &arg : argv)
        pointers.push_back(const_cast<char *>(arg.c_str()));
    pointers.push_back(nullptr);
    std::fflush(stdout);
    const long long start = nowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        toNull(STDIN_FILENO);
        toNull(STDOUT_FILENO);
        toNull(STDERR_FILENO);
        execvp(pointers[0], pointers.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.wall = double(nowNs() - start) / 1e6;
    run.cpu = (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
               + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
    run.peakMiB = double(usage.ru_maxrss) / 1024;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

// The program started without a command, on the platform QT_QPA_PLATFORM
// names, until its main window's first paint is flushed; then killed.
Run runWindow(const std::string &program, const std::string &configDir)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    std::fflush(stdout);
    const long long start = nowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_LOGGING_RULES", "qt.widgets.painting=true", 1);
        setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
        toNull(STDIN_FILENO);
        toNull(STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    Run run;
    std::string pending;
    char buffer[4096];
    for (ssize_t n; run.wall < 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        pending.append(buffer, size_t(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string line = pending.substr(0, end);
            if (line.find("Flushing") != std::string::npos && line.find("name=\"frmMain\"") != std::string::npos) {
                run.wall = double(nowNs() - start) / 1e6;
                break;
            }
        }
    }
    kill(pid, SIGKILL);
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.cpu = (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
               + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
    run.peakMiB = double(usage.ru_maxrss) / 1024;
    run.status = run.wall < 0 ? 1 : 0;
    return run;
}

// The medians of the runs that ended well; none (wall -1) when none did.
Figures summary(const std::vector<Run> &runs)
{
    std::vector<double> wall, cpu, peak;
    for (const Run &run : runs) {
        if (run.status != 0)
            continue;
        wall.push_back(run.wall);
        cpu.push_back(run.cpu);
        peak.push_back(run.peakMiB);
    }
    Figures figures;
    if (!wall.empty())
        figures = {BenchStats::median(wall), BenchStats::median(cpu), BenchStats::median(peak)};
    return figures;
}

// `runs` runs of `start` after `warmUps` left out.
template <typename Start>
Figures medians(int runs, int warmUps, Start start)
{
    std::vector<Run> counted;
    for (int i = -warmUps; i < runs; ++i) {
        const Run run = start();
        if (i >= 0)
            counted.push_back(run);
    }
    return summary(counted);
}

// One line: what, the figure and, where `limit` is above 0, the target.
void report(const char *what, const Figures &figures, bool inSeconds, const char *target = nullptr, double limit = 0)
{
    char figure[96];
    const double scale = inSeconds ? 1000 : 1;
    if (figures.wall < 0)
        std::snprintf(figure, sizeof figure, "failed");
    else
        std::snprintf(figure, sizeof figure, inSeconds ? "%.3f s (cpu %.3f), %.1f MiB" : "%.1f ms (cpu %.1f), %.1f MiB",
                      figures.wall / scale, figures.cpu / scale, figures.peakMiB);
    if (limit > 0)
        BenchStats::report(what, figure, target, figures.wall >= 0 && figures.wall <= limit);
    else
        std::printf("  %-52s %s\n", what, figure);
}

bool exists(const std::string &path)
{
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

bool onPath(const char *program)
{
    const char *path = std::getenv("PATH");
    for (std::string rest = path ? path : ""; !rest.empty();) {
        const size_t colon = rest.find(':');
        const std::string dir = rest.substr(0, colon);
        if (access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
    }
    return false;
}

// The bytes a C source declares for its first uint8_t array, "name[N]";
// -1 when the file has none.
long long arrayBytes(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return -1;
    long long bytes = -1;
    char line[4096];
    while (bytes < 0 && std::fgets(line, sizeof line, file)) {
        const char *array = std::strstr(line, "uint8_t ");
        const char *open = array ? std::strchr(array, '[') : nullptr;
        if (open)
            bytes = std::atoll(open + 1);
    }
    std::fclose(file);
    return bytes;
}

std::string readAll(const std::string &path)
{
    std::string text;
    if (FILE *file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

void writeAll(const std::string &path, const std::string &text)
{
    if (FILE *file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

const char *const kFormats[] = {"lines", "c", "gfx", "u8g2", "u8x8", "pages", "oled", "lvgl", "max72xx"};

// Each format on the 5x7 font's ASCII, and those that hold Unicode's Basic
// Multilingual Plane on GNU Unifont.
void formats(const std::string &program, const std::string &dir, const std::string &font5x7,
             const std::string &unifont, int runs)
{
    std::printf("\nEach export format, whole processes writing a file (-o):\n");
    const std::string out = dir + "/format.out";
    for (const char *format : kFormats) {
        if (!exists(font5x7))
            break;
        const std::string what = std::string("--format ") + format + ", 5x7 ASCII (95 glyphs)";
        report(what.c_str(), medians(runs / 2, 2, [&] {
                   return runOnce({program, "export", font5x7, "--range", "0x20-0x7E", "--format", format, "-o", out});
               }),
               false, "<= 15 ms", 15);
    }
    if (!exists(unifont))
        return;
    for (const char *format : {"lines", "c", "u8g2", "lvgl"}) {
        const std::string what = std::string("--format ") + format + ", GNU Unifont (57,086)";
        const bool lvgl = std::strcmp(format, "lvgl") == 0;
        report(what.c_str(), medians(3, 1, [&] {
                   return runOnce({program, "export", unifont, "--format", format, "-o", out});
               }),
               true, lvgl ? "<= 0.3 s" : "<= 0.2 s", lvgl ? 300 : 200);
    }
}

// Fonts read back from their source: a file of 131 u8x8 fonts (as u8x8's
// own font file holds), listed and one of them read; GNU Unifont exported as
// u8g2 read back and written again, beside its export.
void readBack(const std::string &program, const std::string &dir, const std::string &font5x7,
              const std::string &unifont, int runs)
{
    std::printf("\nFonts read back from their source, whole processes writing a file (-o):\n");
    const std::string out = dir + "/back.out";
    if (exists(font5x7)) {
        const std::string many = dir + "/u8x8_fonts.c";
        std::string all;
        for (int i = 0; i < 131; ++i) {
            const std::string one = dir + "/u8x8_one.c";
            runOnce({program, "export", font5x7, "--range", "32-126", "--format", "u8x8", "--name",
                     "u8x8_font_" + std::to_string(i), "-o", one});
            all += readAll(one);
        }
        writeAll(many, all);
        report("131 u8x8 fonts, --font of the last, as u8x8", medians(runs / 2, 2, [&] {
                   return runOnce({program, "export", many, "--font", "u8x8_font_130", "--format", "u8x8", "-o", out});
               }),
               false);
    }
    if (!exists(unifont))
        return;
    const std::string source = dir + "/unifont_u8g2.c";
    report("GNU Unifont exported as u8g2", medians(3, 0, [&] {
               return runOnce({program, "export", unifont, "--format", "u8g2", "--name", "unifont", "-o", source});
           }),
           true);
    report("  and that file read back, written as u8g2 again", medians(3, 1, [&] {
               return runOnce({program, "export", source, "--format", "u8g2", "-o", out});
           }),
           true);
    const std::string lvgl = dir + "/unifont_lvgl.c";
    runOnce({program, "export", unifont, "--format", "lvgl", "--name", "unifont", "-o", lvgl});
    report("GNU Unifont as LVGL read back, written as LVGL again", medians(3, 1, [&] {
               return runOnce({program, "export", lvgl, "--format", "lvgl", "-o", out + ".c"});
           }),
           true);
}

// The bytes of an LVGL font's glyph bitmaps: the numbers between
// "glyph_bitmap[] = {" and its "};".
long long lvglBitmapBytes(const std::string &path)
{
    const std::string text = readAll(path);
    const size_t open = text.find("glyph_bitmap[] = {");
    const size_t close = open == std::string::npos ? open : text.find("};", open);
    if (close == std::string::npos)
        return -1;
    long long bytes = 0;
    for (size_t at = text.find("0x", open); at < close; at = text.find("0x", at + 2))
        ++bytes;
    return bytes;
}

// The LVGL export of GNU Unifont's BDF beside LVGL's converter on its
// OpenType form (fonts-unifont), the same glyphs, pixels kept where they
// are (--autohint-off): time and the bytes of the glyphs' bitmaps.
void besideLvFontConv(const std::string &program, const std::string &converter, const std::string &dir,
                      const std::string &unifont)
{
    const std::string otf = "/usr/share/fonts/opentype/unifont/unifont.otf";
    if (!exists(unifont) || !exists(otf))
        return;
    std::printf("\nThe LVGL export beside LVGL's converter (%s) on Unifont's OpenType form, same glyphs:\n",
                converter.c_str());
    const std::string ours = dir + "/ours_lvgl.c", theirs = dir + "/theirs_lvgl.c";
    for (const char *range : {"0x20-0x7E", "0x20-0x7FF", "0x20-0x2FFF"}) {
        const Figures a = medians(3, 1, [&] {
            return runOnce({program, "export", unifont, "--format", "lvgl", "--range", range, "--name", "font", "-o", ours});
        });
        const Figures b = medians(3, 0, [&] {
            return runOnce({converter, "--bpp", "1", "--size", "16", "--font", otf, "-r", range, "--format", "lvgl",
                            "--autohint-off", "--no-compress", "-o", theirs});
        });
        std::printf("  %-14s ours %8.1f ms %8lld bytes | lv_font_conv %9.1f ms %8lld bytes | time x%.3f, size x%.4f\n",
                    range, a.wall, lvglBitmapBytes(ours), b.wall, lvglBitmapBytes(theirs), a.wall / b.wall,
                    double(lvglBitmapBytes(ours)) / double(lvglBitmapBytes(theirs)));
    }
}

// The u8g2 export beside u8g2's own converter on the same glyphs.
void besideBdfconv(const std::string &program, const std::string &bdfconv, const std::string &dir,
                   const std::string &font5x7, const std::string &unifont)
{
    std::printf("\nThe u8g2 export beside u8g2's converter (%s), same glyphs:\n", bdfconv.c_str());
    struct Case
    {
        const char *what;
        std::string font;
        const char *range;
    };
    const std::string helvetica = dir + "/helvR08.bdf";
    runOnce({"pcf2bdf", "-o", helvetica, "/usr/share/fonts/X11/75dpi/helvR08.pcf.gz"});
    const Case cases[] = {{"5x7, ASCII", font5x7, "32-126"},
                          {"75-dpi Helvetica 8, 0-255", helvetica, "0-255"},
                          {"GNU Unifont, 0-65535", unifont, "0-65535"}};
    const std::string ours = dir + "/ours.c", theirs = dir + "/theirs.c";
    for (const Case &c : cases) {
        if (!exists(c.font))
            continue;
        const int runs = c.font == unifont ? 3 : 11;
        const Figures a = medians(runs, 1, [&] {
            return runOnce({program, "export", c.font, "--format", "u8g2", "--range", c.range, "--name", "font", "-o", ours});
        });
        const Figures b = medians(runs, 1, [&] {
            return runOnce({bdfconv, "-f", "1", "-b", "0", "-m", c.range, "-n", "font", "-o", theirs, c.font});
        });
        std::printf("  %-30s ours %8.1f ms %8lld bytes | bdfconv %8.1f ms %8lld bytes | time x%.2f, size x%.3f\n",
                    c.what, a.wall, arrayBytes(ours), b.wall, arrayBytes(theirs), a.wall / b.wall,
                    double(arrayBytes(ours)) / double(arrayBytes(theirs)));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s KELVOR21 [RUNS]\n", argv[0]);
        return 2;
    }
    // execvp would look a bare name up on PATH: the program is the one named.
    const std::string program = std::strchr(argv[1], '/') ? argv[1] : std::string("./") + argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 31;
    char dirTemplate[] = "/tmp/bench_command.XXXXXX";
    if (!mkdtemp(dirTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = dirTemplate;
    const std::string font5x7 = dir + "/5x7.bdf", unifont = dir + "/unifont.bdf";
    if (onPath("pcf2bdf")) {
        runOnce({"pcf2bdf", "-o", font5x7, std::string(kMisc) + "5x7.pcf.gz"});
        runOnce({"pcf2bdf", "-o", unifont, std::string(kMisc) + "unifont.pcf.gz"});
    }

    std::printf("The command line, whole processes, medians of %d runs (wall ms, cpu = user + system, peak RSS):\n", runs);
    report("KELVOR21 --version", medians(runs, 3, [&] { return runOnce({program, "--version"}); }), false);
    if (exists(font5x7)) {
        const Figures ascii = medians(runs, 3, [&] {
            return runOnce({program, "export", font5x7, "--range", "0x20-0x7E"});
        });
        report("KELVOR21 export 5x7.bdf, ASCII (95 glyphs)", ascii, false, "<= 15 ms", 15);
    } else {
        std::printf("  X11 5x7 font: no %s5x7.pcf.gz or no pcf2bdf (xfonts-base, pcf2bdf), skipped\n", kMisc);
    }

    if (exists(unifont)) {
        // Ours and bdftopcf in turn, so that a machine's drift falls on both.
        const int unifontRuns = std::max(3, runs / 4);
        const std::string out = dir + "/unifont";
        std::vector<Run> ours, theirs;
        for (int i = -1; i < unifontRuns; ++i) {
            const Run a = runOnce({program, "export", unifont, "-o", out + ".h"});
            const Run b = onPath("bdftopcf") ? runOnce({"bdftopcf", "-o", out + ".pcf", unifont}) : Run{};
            if (i >= 0) {
                ours.push_back(a);
                theirs.push_back(b);
            }
        }
        const Figures ourFigures = summary(ours);
        report("KELVOR21 export unifont.bdf -o unifont.h (57,086)", ourFigures, true, "<= 0.08 s", 80);
        const Figures peer = summary(theirs);
        if (peer.wall < 0) {
            std::printf("  %-52s not installed or failed (xfonts-utils)\n", "bdftopcf -o unifont.pcf unifont.bdf");
        } else {
            report("bdftopcf -o unifont.pcf unifont.bdf", peer, true);
            std::printf("  %-52s %.2f x bdftopcf's wall time, %.2f x its cpu\n", "the export against bdftopcf",
                        ourFigures.wall / peer.wall, ourFigures.cpu / peer.cpu);
        }
    } else {
        std::printf("  GNU Unifont: no %sunifont.pcf.gz or no pcf2bdf (xfonts-unifont, pcf2bdf), skipped\n", kMisc);
    }

    formats(program, dir, font5x7, unifont, runs);
    readBack(program, dir, font5x7, unifont, runs);
    if (const char *bdfconv = std::getenv("KELVOR_BDFCONV"))
        besideBdfconv(program, bdfconv, dir, font5x7, unifont);
    if (const char *converter = std::getenv("KELVOR_LV_FONT_CONV"))
        besideLvFontConv(program, converter, dir, unifont);
    std::printf("\n");

    const std::string config = dir + "/config";
    mkdir(config.c_str(), 0700);
    const Figures window = medians(std::max(5, runs / 3), 2, [&] { return runWindow(program, config); });
    if (window.wall < 0)
        std::printf("  %-52s failed: no display, or no painting log\n", "KELVOR21 to its main window's first paint");
    else
        report("KELVOR21 to its main window's first paint", window, false);

    runOnce({"rm", "-rf", dir});
    return 0;
}
