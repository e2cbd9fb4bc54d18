#pragma once

// lumo-gen's work on documents through the editable model: reading a
// grammar from a document or an EBNF text, and writing it as a document,
// or as EBNF.

#include <string>

#include "cli/options.h"

class CGrammer;

// Whether FILE names an EBNF text (".ebnf", in any letter case) rather than a
// document.
bool IsEbnfFile(const std::string& file);

// Reads FILE, a document or an EBNF text, into doc. Returns an exit status:
// 0, or 2 with the error printed ("FILE: error: ..." or
// "FILE:LINE:COLUMN: error: ...").
int ReadGrammar(const std::string& file, CGrammer& doc);

// --lm OUT: the grammar of FILE saved as a document, with its layout.
int WriteDocument(const GenOptions& opts);
// --ebnf: the grammar of FILE written to standard output as EBNF.
int WriteEbnf(const GenOptions& opts);
// The bytes of the document an EBNF text imports to; an exit status as
// ReadGrammar's.
int ReadEbnfAsDocument(const std::string& file, std::string& bytes);

// The table paths for opts: BASE.pt and BASE.txt, or FILE's with its
// extension replaced; 2 with the error printed when one would overwrite
// FILE, else 0.
int TablePaths(const GenOptions& opts, std::string& ptPath, std::string& txtPath);
