#include "cli/options.h"

#include <array>

#include "cli/tool.h"
#include "codegen/cpp_names.h"

const char* const kGenUsage =
    "usage: lumo-gen [-o BASE] [--check] FILE\n"
    "       lumo-gen --cpp BASE [--namespace NAME] FILE\n"
    "       lumo-gen --svg DIR FILE\n"
    "       lumo-gen --lm OUT.lm FILE\n"
    "       lumo-gen --ebnf FILE\n"
    "       lumo-gen --help | --version\n";

namespace {

enum OptionId { kOutput, kCheck, kSvg, kCpp, kNamespace, kLm, kEbnf };

constexpr std::array<lumo::cli::OptionSpec, 7> kOptions{{
    {"output", 'o', true, kOutput},
    {"check", 0, false, kCheck},
    {"svg", 0, true, kSvg},
    {"cpp", 0, true, kCpp},
    {"namespace", 0, true, kNamespace},
    {"lm", 0, true, kLm},
    {"ebnf", 0, false, kEbnf},
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
                case kLm:
                    opts.lmFile = arg;
                    break;
                case kEbnf:
                    opts.ebnf = true;
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
    // Each of these writes something else instead of the tables.
    const std::pair<bool, const char*> instead[] = {{!opts.svgFolder.empty(), "--svg"},
                                                    {!opts.lmFile.empty(), "--lm"},
                                                    {opts.ebnf, "--ebnf"},
                                                    {!opts.cppBase.empty(), "--cpp"}};
    int chosen = 0;
    for (const auto& [given, name] : instead) {
        if (given && (opts.checkOnly || !opts.outputBase.empty())) {
            return usageError(std::string(name) + " goes with neither -o nor --check");
        }
        chosen += given ? 1 : 0;
    }
    if (chosen > 1) {
        return usageError("--svg, --lm, --ebnf and --cpp go one at a time");
    }
    if (!opts.cppNamespace.empty() && opts.cppBase.empty()) {
        return usageError("--namespace goes only with --cpp");
    }
    opts.file = line.operands.front();
    return opts;
}
