// lumo-parse: parses a token stream with a parse table that Lumo generated.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "lumo_version.h"
#include "runtime/cli/options.h"
#include "runtime/cli/read_file.h"
#include "runtime/cli/token_reader.h"
#include "runtime/parser.h"

namespace {

constexpr int kAccepted = lumo::cli::kSuccess;
constexpr int kRefused = lumo::cli::kRejected;
constexpr int kFailed = lumo::cli::kFailed;

const char* const kHelp =
    "Parses tokens with a parse table (.pt) that Lumo generated, and tells\n"
    "whether they form a sentence of the grammar's MAIN graph.\n"
    "\n"
    "Tokens come from FILE, or standard input when FILE is missing or '-':\n"
    "one token a line (empty lines are skipped), or with --words, separated\n"
    "by whitespace. A token is the exact text of a Token edge.\n"
    "\n"
    "  -w, --words        tokens are separated by whitespace\n"
    "  -t, --trace        print each action on the way, one a line:\n"
    "                     ACTION<tab>token<tab>TOKEN for a Token edge,\n"
    "                     ACTION<tab>graph<tab>GRAPH for a Graph edge\n"
    "      --max-depth N  refuse input nested in more than N graphs\n"
    "                     (default 1048576)\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "Exit status: 0 the input was accepted, 1 it was refused (the error on\n"
    "standard error as FILE:LINE:COLUMN: error: ...), 2 the table or the\n"
    "input could not be read or the table is malformed, 64 a usage error.\n";

void PrintTrace(const lumo::ParseTable& table, const lumo::Action& action) {
    const std::string& what =
        action.IsGraph() ? table.GraphName(action.graph) : table.TokenText(action.token);
    std::fwrite(action.text.data(), 1, action.text.size(), stdout);
    std::fputs(action.IsGraph() ? "\tgraph\t" : "\ttoken\t", stdout);
    std::fwrite(what.data(), 1, what.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const ParseOptions opts = ParseParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto status = lumo::cli::HandleStandardActions(
            opts.line, {"lumo-parse", LUMO_VERSION, kParseUsage, kHelp})) {
        return *status;
    }

    // The table must be a file; the tokens may also come through a pipe.
    std::optional<lumo::ParseTable> loaded;
    std::string bytes;
    std::string error;
    if (!ReadWholeInput(opts.table, true, bytes, error)) {
        std::fprintf(stderr, "%s: %s\n", opts.table.c_str(), error.c_str());
        return kFailed;
    }
    try {
        loaded = lumo::ParseTable::FromBytes(bytes);
    } catch (const lumo::TableError& e) {
        std::fprintf(stderr, "%s: %s\n", opts.table.c_str(), e.what());
        return kFailed;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: %s\n", opts.table.c_str(), std::strerror(ENOMEM));
        return kFailed;
    }
    std::string().swap(bytes);
    const lumo::ParseTable& table = *loaded;
    const std::string inputName = opts.input == "-" ? "<stdin>" : opts.input;
    std::string text;
    if (!ReadWholeInput(opts.input, false, text, error)) {
        std::fprintf(stderr, "%s: %s\n", inputName.c_str(), error.c_str());
        return kFailed;
    }
    const TokenizedInput input(std::move(text), opts.words, table);

    lumo::Parser parser(table, opts.maxDepth == 0 ? lumo::Parser::kDefaultMaxDepth : opts.maxDepth);
    std::optional<lumo::ParseError> refused;
    if (opts.trace) {
        refused =
            parser.Parse(input.Tokens(), [&table](const lumo::Action& a) { PrintTrace(table, a); });
    } else {
        refused = parser.Parse(input.Tokens());
    }
    std::fflush(stdout);
    if (refused) {
        const std::string message =
            lumo::DescribeError(table, *refused, input.Text(refused->position));
        std::fprintf(stderr, "%s:%s: error: %s\n", inputName.c_str(),
                     input.Position(refused->position).c_str(), message.c_str());
        return kRefused;
    }
    return kAccepted;
}
