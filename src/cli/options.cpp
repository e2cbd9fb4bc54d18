#include "cli/options.h"

#include <array>

#include "cli/tool.h"

const char* const kGenUsage =
    "usage: lumo-gen [-o BASE] [--check] FILE\n"
    "       lumo-gen --svg DIR FILE\n"
    "       lumo-gen --help | --version\n";

namespace {

enum OptionId { kOutput, kCheck, kSvg };

constexpr std::array<lumo::cli::OptionSpec, 3> kOptions{{
    {"output", 'o', true, kOutput},
    {"check", 0, false, kCheck},
    {"svg", 0, true, kSvg},
}};

}  // namespace

GenOptions ParseGenOptions(const std::vector<std::string>& args) {
    GenOptions opts;
    const lumo::cli::CommandLine line = lumo::cli::ParseCommandLine(
        args, kOptions, [&opts](int id, const std::string& arg) -> std::optional<std::string> {
            switch (id) {
                case kOutput:
                    opts.outputBase = arg;
                    break;
                case kCheck:
                    opts.checkOnly = true;
                    break;
                case kSvg:
                    opts.svgFolder = arg;
                    break;
            }
            return std::nullopt;
        });
    opts.line = line;
    if (line.action != lumo::cli::CommandLine::Action::Run) {
        return opts;
    }
    auto usageError = [&opts](std::string message) {
        opts.line.action = lumo::cli::CommandLine::Action::UsageError;
        opts.line.error = std::move(message);
        return opts;
    };
    if (line.operands.size() != 1) {
        return usageError(line.operands.empty() ? "no grammar file given"
                                                : "more than one file given");
    }
    if (!opts.svgFolder.empty() && (opts.checkOnly || !opts.outputBase.empty())) {
        return usageError("--svg goes with neither -o nor --check");
    }
    opts.file = line.operands.front();
    return opts;
}
