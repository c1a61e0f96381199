// The answers to the editor's questions about one compiled document, as
// the protocol's JSON: each reads the document's compile result and, for
// where names stand, its text (lsp/source_text.h).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "lsp/document.h"
#include "vk6/formatter.h"

namespace vk6::lsp {

using Json = nlohmann::json;

// The compile's messages and the hints for the language's traps.
Json diagnosticsOf(const Document& doc, const std::string& uri);

Json hoverAt(const Document& doc, Position at);
Json completionAt(const Document& doc, Position at);
Json signatureHelpAt(const Document& doc, Position at);
Json definitionAt(const Document& doc, const std::string& uri, Position at);
Json referencesAt(const Document& doc, const std::string& uri, Position at,
                  bool includeDeclaration);
Json documentSymbolsOf(const Document& doc);
// The edits that make the text the formatter's, for `options` (tab size
// clamped to 1 .. kMaxTabSize).
Json formattingEdits(const Document& doc, FormatOptions options);

constexpr int kMaxTabSize = 16;

// A range of the protocol over one line's bytes [begin, end).
Json rangeOf(const Document& doc, int line, std::size_t begin, std::size_t end);

}  // namespace vk6::lsp
