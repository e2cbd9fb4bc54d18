#include "cli/options.h"

#include <array>

#include "cli/tool.h"
#include "codegen/cpp_names.h"

const char* const kGenUsage =
    "usage: lumo-gen [-o BASE] [--check] FILE\n"
    "       lumo-gen --cpp BASE [--namespace NAME] FILE\n"
    "       lumo-gen --svg DIR FILE\n"
    "       lumo-gen --help | --version\n";

namespace {

enum OptionId { kOutput, kCheck, kSvg, kCpp, kNamespace };

constexpr std::array<lumo::cli::OptionSpec, 5> kOptions{{
    {"output", 'o', true, kOutput},
    {"check", 0, false, kCheck},
    {"svg", 0, true, kSvg},
    {"cpp", 0, true, kCpp},
    {"namespace", 0, true, kNamespace},
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
                case kCpp:
                    opts.cppBase = arg;
                    break;
                case kNamespace:
                    if (!codegen::IsQualifiedNamespace(arg)) {
                        return "'" + arg + "' cannot name a C++ namespace";
                    }
                    opts.cppNamespace = arg;
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
    if (!opts.cppBase.empty() &&
        (opts.checkOnly || !opts.outputBase.empty() || !opts.svgFolder.empty())) {
        return usageError("--cpp goes with neither -o, --check nor --svg");
    }
    if (!opts.cppNamespace.empty() && opts.cppBase.empty()) {
        return usageError("--namespace goes only with --cpp");
    }
    opts.file = line.operands.front();
    return opts;
}
