#include "runtime/cli/options.h"

#include <array>
#include <charconv>

const char* const kParseUsage =
    "usage: lumo-parse [--words] [--trace] [--max-depth N] TABLE.pt [FILE]\n"
    "       lumo-parse --help | --version\n";

namespace {

enum OptionId { kWords, kTrace, kMaxDepth };

constexpr std::array<lumo::cli::OptionSpec, 3> kOptions{{
    {"words", 'w', false, kWords},
    {"trace", 't', false, kTrace},
    {"max-depth", 0, true, kMaxDepth},
}};

}  // namespace

ParseOptions ParseParseOptions(const std::vector<std::string>& args) {
    ParseOptions opts;
    const lumo::cli::CommandLine line = lumo::cli::ParseCommandLine(
        args, kOptions, [&opts](int id, const std::string& arg) -> std::optional<std::string> {
            switch (id) {
                case kWords:
                    opts.words = true;
                    break;
                case kTrace:
                    opts.trace = true;
                    break;
                case kMaxDepth: {
                    std::size_t n = 0;
                    const char* end = arg.data() + arg.size();
                    const auto [stop, ec] = std::from_chars(arg.data(), end, n);
                    if (ec != std::errc() || stop != end || n == 0) {
                        return "--max-depth needs a positive number, not '" + arg + "'";
                    }
                    opts.maxDepth = n;
                    break;
                }
            }
            return std::nullopt;
        });
    opts.line = line;
    if (line.action != lumo::cli::CommandLine::Action::Run) {
        return opts;
    }
    if (line.operands.empty() || line.operands.size() > 2) {
        opts.line.action = lumo::cli::CommandLine::Action::UsageError;
        opts.line.error =
            line.operands.empty() ? "no parse table given" : "more than one input file given";
        return opts;
    }
    opts.table = line.operands[0];
    opts.input = line.operands.size() == 2 ? line.operands[1] : "-";
    return opts;
}
