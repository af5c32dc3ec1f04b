#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <regex>
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
    const std::string command = std::string(ZORIX_CLI_PATH) + " " + args + " 2>&1 1>/dev/null";
    const std::string outCommand = std::string(ZORIX_CLI_PATH) + " " + args + " 2>/dev/null";
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

TEST(CliUsage, VersionPrintsThreeNumbersAndSucceeds) {
    const CliOutput r = RunCli("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::regex_match(r.out, std::regex("zorix-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << r.out;
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
