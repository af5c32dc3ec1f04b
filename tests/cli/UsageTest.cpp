#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <string>

namespace {

struct CliOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs zorix-cli with `args`, keeping standard output and standard error apart.
CliOutput RunCli(const std::string& args) {
    CliOutput r;
    std::string command = ZORIX_CLI_PATH;
    command.append(" ").append(args);
    const std::string outCommand = command + " 2>/dev/null";
    command.append(" 2>&1 1>/dev/null");
    for (const auto& [cmd, text] : {std::pair{outCommand, &r.out}, std::pair{command, &r.err}}) {
        FILE* pipe = popen(cmd.c_str(), "r");
        std::array<char, 4096> buffer{};
        size_t n;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            text->append(buffer.data(), n);
        }
        const int raw = pclose(pipe);
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return r;
}

// "zorix-cli " and three dot-separated numbers on one line.
bool IsVersionLine(const std::string& text) {
    const std::string prefix = "zorix-cli ";
    if (text.rfind(prefix, 0) != 0 || text.empty() || text.back() != '\n') {
        return false;
    }
    int numbers = 0;
    size_t digits = 0;
    for (size_t i = prefix.size(); i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            ++digits;
        } else if (c == '.' && digits > 0) {
            ++numbers;
            digits = 0;
        } else {
            return false;
        }
    }
    return digits > 0 && numbers == 2;
}

TEST(CliUsage, VersionPrintsThreeNumbersAndSucceeds) {
    const CliOutput r = RunCli("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(IsVersionLine(r.out)) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST(CliUsage, EveryCommandHasItsOwnHelp) {
    for (const std::string command : {"info", "convert", "decode"}) {
        const CliOutput r = RunCli(command + " --help");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind("usage: zorix-cli " + command, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "") << command;
    }
}

TEST(CliUsage, HelpWinsOverOtherwiseBadArguments) {
    // A command line that would be a usage error still gets its help.
    EXPECT_EQ(RunCli("convert --to nonsense --help").status, 0);
    EXPECT_EQ(RunCli("decode --help").status, 0);
    const CliOutput r = RunCli("convert --to png --help missing.png");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--max-palette"), std::string::npos);
}

TEST(CliUsage, HelpAfterDoubleDashIsAFileName) {
    const CliOutput r = RunCli("info -- --help");
    EXPECT_EQ(r.status, 1);  // the file "--help" does not exist
    EXPECT_EQ(r.out.find("usage:"), std::string::npos);
}

TEST(CliUsage, TopLevelHelpListsCommandsAndUnknownCommandIsAUsageError) {
    const CliOutput help = RunCli("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"info", "convert", "decode", "--version"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const CliOutput bad = RunCli("frobnicate");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err.rfind("zorix-cli: ", 0), 0u) << bad.err;
    EXPECT_EQ(RunCli("").status, 2);
}

}  // namespace
