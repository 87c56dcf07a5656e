#pragma once
// The formula decoder: token bytes (parsed expression) as kept in the model
// back to formula text in A1 notation, and the rewriting of a shared
// formula's relative tokens for one cell.

#include "model/TabulonRecs.h"

#include <cstdint>
#include <functional>
#include <string>

// Kinds of text the decoder asks the workbook for.
enum TNameLookupKind : uint8_t {
    lkName = 0,        // Index -1, NameIndex = 1-based defined name index
    lkExternName = 1,  // Index = EXTERNSHEET index, NameIndex = name index (BIFF2 to BIFF5)
    lkExternSheet = 2, // Index = REF / EXTERNSHEET index; NameIndex -1: 3-D prefix, else external name
    lkSheetName = 3    // Index = own sheet index, NameIndex -1: the sheet's name without "!"
};

// (Kind, Index, NameIndex, Text): fills Text. May be empty; the decoder then
// writes "#NAME?" for every name, external name, sheet prefix and sheet name.
using TFormulaNameLookup = std::function<void(uint8_t Kind, int Index, int NameIndex, std::string& Text)>;

// The list separator written between function arguments and array values:
// the locale's list separator as read once by SystemListSeparator() (tests
// that switch locales call RefreshLocaleSeparators()). The Boolean constant
// texts are fixed.
char ArgSeparator();
extern const char* const FormulaTrueText;
extern const char* const FormulaFalseText;

// Decodes Len token bytes for the given file version. Relative references
// (tRefN, tAreaN) are resolved against (Col, Row). Extra/ExtraLen are the
// bytes that follow the tokens in the file (the constant values of tArray
// tokens); pass nullptr/0 when nothing follows.
//
// Nothing is read outside Tokens[0, Len) and Extra[0, ExtraLen). A token
// whose operands run past Len ends decoding with "Truncated ptg[XX]"; a
// tArray whose values are not all in the Extra bytes ends it with
// "Missing array data ptg[XX]". A token that is not decoded ends it with
// "Unknown ptg[XX]". Too few operands for tParen, a SUM attribute or a
// function call raise Exception ("Missing operand for ..."); too few for an
// operator give "<Val missing>".
std::string DecodeFormulaTokens(TExcelVersion Version, const uint8_t* Tokens, int Len, int Col, int Row,
                                const TFormulaNameLookup& Lookup, const uint8_t* Extra = nullptr,
                                int ExtraLen = 0);

// Rewrites, in place, the tRefN and tAreaN tokens of a shared formula's Len
// token bytes into tRef and tArea resolved for the cell (Col, Row); flag bits
// stay as they are. Never writes outside Tokens[0, Len): a token that runs
// past Len ends the walk and stays as it is (the decoder marks it).
// Throws Exception "Unknown ptg[XX] in Shared Formula" for a token it cannot
// size; the tokens before it stay rewritten.
void ConvertSharedFormula(bool IsBIFF8, uint8_t* Tokens, int Len, int Col, int Row);
