// Every fixed message text of the engine, shared by the code and its tests.
#pragma once

namespace tallow {

// Error kinds of ReportError.
constexpr int kSyntaxKind = 0;   // aborts the script; no TRY block catches it
constexpr int kRuntimeKind = 1;  // caught by an enclosing TRY block
constexpr int kWarningKind = 2;  // and above: a warning box, then the caller goes on

namespace msg {

// Lexer and expressions.
constexpr const char kDoubleQuotesMissing[] = "double quotes missing";
constexpr const char kNumExprExpected[] = "numerical expression expected";
constexpr const char kStringExprExpected[] = "string expression expected";
constexpr const char kUnbalancedParenthesis[] = "unbalanced parenthesis";
constexpr const char kUnknownNumberArray[] = "unknown number array encountered";
constexpr const char kUnknownStringArray[] = "unknown string array encountered";
constexpr const char kBracketExpected[] = "']' expected";
constexpr const char kOpenBracketExpected[] = "'[' expected";
constexpr const char kUnknownObject[] = "unknown object encountered";
constexpr const char kUndefinedMember[] = "undefined object member";
constexpr const char kUnknownStringElement[] = "Unknown string element: %d";
constexpr const char kCannotEvaluate[] = "cannot evaluate expression";
constexpr const char kConditionalOperator[] = "conditional operator (=, <>, <, >, <=, or >=) expected";
constexpr const char kRequiredParameter[] = "required parameter missing";
constexpr const char kStatementExpected[] = "statement expected";
constexpr const char kUnknownVariable[] = "unknown variable encountered";
constexpr const char kVariableExpected[] = "variable expected";
constexpr const char kEqualsExpected[] = "equals sign (=) expected";
constexpr const char kStackOverflow[] = "stack overflow";
constexpr const char kOutOfMemory[] = "out of memory";

// Statements and objects.
constexpr const char kSyntaxError[] = "syntax error";
constexpr const char kUndefinedObject[] = "undefined object";
constexpr const char kUnknownStatement[] = "unknown statement encountered";
constexpr const char kUnknownNumFunction[] = "unknown number function encountered";
constexpr const char kUnknownStringFunction[] = "unknown string function encountered";
constexpr const char kUnknownFunction[] = "unknown function encountered";
constexpr const char kFunctionOrStatement[] = "function or statement expected";
constexpr const char kObjectNameExpected[] = "object name expected";
constexpr const char kAsExpected[] = "AS expected";
constexpr const char kObjectTypeExpected[] = "object type expected";
constexpr const char kUnknownObjectType[] = "unknown object type encountered";
constexpr const char kCannotCreateObject[] = "cannot create new object";
constexpr const char kCannotDeleteStatic[] = "cannot delete static object";
constexpr const char kObjectNameConflict[] = "object name conflict";
constexpr const char kArrayNotFound[] = "Array not found!";

// Control flow.
constexpr const char kDuplicateLabel[] = "Duplicate label encountered";
constexpr const char kUnknownGotoLabel[] = "unknown label in GOTO";
constexpr const char kUnknownGosubLabel[] = "unknown label in GOSUB";
constexpr const char kReturnWithoutGosub[] = "RETURN without GOSUB encountered";
constexpr const char kThenExpected[] = "THEN expected";
constexpr const char kEndifNotFound[] = "ENDIF not found";
constexpr const char kToExpected[] = "TO expected";
constexpr const char kNextWithoutFor[] = "NEXT without FOR encountered";
constexpr const char kEndwhileNotFound[] = "ENDWHILE not found";
constexpr const char kWendWithoutWhile[] = "WEND without WHILE encountered";
constexpr const char kCaseExpected[] = "CASE expected";
constexpr const char kExpressionExpected[] = "expression expected";
constexpr const char kCannotEvaluateCase[] = "cannot evaluate CASE";
constexpr const char kEndselectNotFound[] = "ENDSELECT not found";

// Procedures.
constexpr const char kUnknownProcType[] = "Unknown proc type encountered";
constexpr const char kDuplicateProc[] = "Duplicate proc encountered";
constexpr const char kInvalidParameterType[] = "Invalid parameter type";
constexpr const char kEndprocNotFound[] = "ENDPROC not found";

// Errors and exceptions.
constexpr const char kEndtryNotFound[] = "ENDTRY not found";
constexpr const char kUnknownOnError[] = "unknown OnError command!";
constexpr const char kCannotResume[] = "Cannot resume without a thrown error";
constexpr const char kErrorCaption[] = "Error";
constexpr const char kExceptionBox[] = "%s\nException raised at line %d...aborting script execution.\n%s";
constexpr const char kWarningBox[] = "%s\nWarning raised at line %d...continuing script execution.\n%s";

// Arrays.
constexpr const char kArrayNameExpected[] = "array name expected";
constexpr const char kArrayNameConflict[] = "array name conflict";
constexpr const char kIndexOutOfBounds[] = "array index out of bounds";
constexpr const char kTotalReadOnly[] = "The Total property is read-only!";
constexpr const char kAverageReadOnly[] = "The Average property is read-only!";

// Extensions and host objects.
constexpr const char kCouldNotInitExtension[] = "Could not initialize extension library!";
constexpr const char kCouldNotCreateExtensionObject[] = "Could not create extension object!";
constexpr const char kCouldNotLoadExtension[] = "Could not load extension library!";
constexpr const char kCannotSelfRegister[] = "Extension library cannot self-register!";
constexpr const char kFailedSelfRegister[] = "Extension library failed to self-register!";
constexpr const char kInternalError[] = "Internal error";

// Built-in functions.
constexpr const char kMathErrorPrefix[] = "Math error: ";
constexpr const char kMathDomain[] = "Argument domain";
constexpr const char kMathSingularity[] = "Argument singularity";
constexpr const char kMathOverflow[] = "Range overflow";
constexpr const char kMathUnderflow[] = "Range underflow";
constexpr const char kMathTotalLoss[] = "Total loss of significance";
constexpr const char kMathPartialLoss[] = "Partial loss of significance";
constexpr const char kMathUnknown[] = "Unknown error";
constexpr const char kUndefinedArray[] = "Undefined array";
constexpr const char kConsoleReadFailed[] = "Could not read from console!";
constexpr const char kCwdFailed[] = "Could not retrieve working directory!";
constexpr const char kStringTooLong[] = "String too long!";

// The dialog object.
constexpr const char kDialogNotInitialized[] = "Dialog not initialized!";
constexpr const char kDialogControlNotFound[] = "Dialog control not found!";
constexpr const char kHandleReadOnly[] = "The Handle property is read-only.";
// What an unattended execute writes to standard error after the dialog's name.
constexpr const char kDialogShown[] = "dialog";

// The code runner's boxes (outside any script run).
constexpr const char kCodeRunnerCaption[] = "Tallow95";
// The file's name stands between these two.
constexpr const char kCouldNotOpenCodFile[] = "Tallow: could not open COD file (";
constexpr const char kCouldNotOpenCodFileEnd[] = ").";
constexpr const char kInvalidFileType[] = "Tallow: invalid file type!";
constexpr const char kCouldNotLoadDialog[] = "Tallow: could not load dialog resource!";
constexpr const char kCouldNotLoadCode[] = "Tallow: could not load code resource!";

// File-system statements.
constexpr const char kChangeDriveFailed[] = "Could not change current drive!";
constexpr const char kChangeDirFailed[] = "Could not change working directory!";
constexpr const char kMakeDirFailed[] = "Could not create new directory!";
constexpr const char kRemoveDirFailed[] = "Could not remove directory!";
constexpr const char kRenameFailed[] = "Could not rename file!";
constexpr const char kDeleteFailed[] = "Could not delete file!";
constexpr const char kCopyFailed[] = "Could not copy file!";
constexpr const char kMoveFailed[] = "Could not move file!";

}  // namespace msg

// ---- Notes -----------------------------------------------------------------
// What a diagnostic adds below an error whose fixed text alone misleads or
// leaves the fault unnamed (ErrMsg$ keeps the text; scripts compare it). The
// first rule that matches gives the note: its message equals the error's,
// its token pattern (if any) matches the token at fault, and its hint finds
// what it looks for. In a note's text, {token} stands for the token as the
// script wrote it, {name} for its name without suffix or parenthesis, and
// {found} for what the hint found.
enum class NoteHint {
    kNone,               // the text alone
    kOtherSuffix,        // a variable (or array) of the name with the other suffix exists
    kNoOtherSuffix,      // none does
    kNearestName,        // a known name of the token's kind is close to it
    kOtherKindFunction,  // the name is a function that gives the other kind of value
    kBeforeEquals,       // an equals sign follows the token
    kBlockOpener,        // where the block that is never closed opens; the note stands there
};

struct NoteRule {
    const char* message;
    // nullptr: any token; "*C": a token that ends in C; otherwise the word
    // itself, letter case aside.
    const char* token;
    NoteHint hint;
    const char* text;
    // For kBlockOpener: the keywords that open and close the block.
    const char* open = nullptr;
    const char* close = nullptr;
};

inline constexpr NoteRule kNoteRules[] = {
    // A string expression meets a token that is no string element; the
    // number is the token's kind.
    {"Unknown string element: 4", nullptr, NoteHint::kNone,
     "{token} is a number variable; numbers join strings only through str(), hex() or oct(): str({token})"},
    {"Unknown string element: 5", nullptr, NoteHint::kNone,
     "{token} is a number constant; str({token}) turns it into text"},
    {"Unknown string element: 1", "(", NoteHint::kNone,
     "a string expression has no parentheses; str(...) turns a number expression into text"},
    {"Unknown string element: 1", nullptr, NoteHint::kNone,
     "a string expression joins strings with + and nothing else"},
    {"Unknown string element: 2", nullptr, NoteHint::kNone,
     "{token} is a bare word: a string variable ends in $, and a function call has ( right after its name"},
    {"Unknown string element: 0", nullptr, NoteHint::kNone,
     "the text ends where a string element should follow"},
    // Reading what was never assigned.
    {msg::kUnknownVariable, "*#", NoteHint::kOtherSuffix,
     "no number variable {token} has been assigned, but the string variable {found} has"},
    {msg::kUnknownVariable, "*#", NoteHint::kNoOtherSuffix,
     "{token} is read before anything is assigned to it (and no {name}$ exists either)"},
    {msg::kUnknownVariable, "*$", NoteHint::kOtherSuffix,
     "no string variable {token} has been assigned, but the number variable {found} has"},
    {msg::kUnknownVariable, "*$", NoteHint::kNoOtherSuffix,
     "{token} is read before anything is assigned to it (and no {name}# exists either)"},
    {msg::kUnknownVariable, "*@", NoteHint::kNearestName,
     "no constant {token} is defined; did you mean '{found}'?"},
    {msg::kUnknownVariable, "*@", NoteHint::kNone, "no constant {token} is defined"},
    {msg::kUnknownNumberArray, nullptr, NoteHint::kOtherSuffix,
     "no number array {name}# exists, but the string array {found} does"},
    {msg::kUnknownNumberArray, nullptr, NoteHint::kNone,
     "a number array is made with dim {name}#[SIZE] or new {name} as numarray"},
    {msg::kUnknownStringArray, nullptr, NoteHint::kOtherSuffix,
     "no string array {name}$ exists, but the number array {found} does"},
    {msg::kUnknownStringArray, nullptr, NoteHint::kNone,
     "a string array is made with dim {name}$[SIZE] or new {name} as stringarray"},
    // Names that are not known where they stand.
    {msg::kUnknownNumFunction, nullptr, NoteHint::kOtherKindFunction,
     "{name} gives a string, not a number; val({name}(...)) reads a number from it"},
    {msg::kUnknownNumFunction, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kUnknownStringFunction, nullptr, NoteHint::kOtherKindFunction,
     "{name} gives a number, not a string; str({name}(...)) turns it into text"},
    {msg::kUnknownStringFunction, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kUnknownFunction, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kUnknownStatement, "then", NoteHint::kNone, "THEN belongs to an IF and follows its condition"},
    {msg::kUnknownStatement, "to", NoteHint::kNone, "TO belongs to a FOR and follows its start value"},
    {msg::kUnknownStatement, "endproc", NoteHint::kNone,
     "this ENDPROC ends no procedure: it has no PROC before it"},
    {msg::kUnknownStatement, nullptr, NoteHint::kBeforeEquals,
     "a variable's name ends in # for a number or $ for a string: {name}# = ... or {name}$ = ..."},
    {msg::kUnknownStatement, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kUndefinedObject, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kUnknownObject, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kUnknownObjectType, nullptr, NoteHint::kNearestName, "did you mean '{found}'?"},
    {msg::kFunctionOrStatement, nullptr, NoteHint::kNone,
     "a value cannot stand alone as a statement: assign it to a variable or print it"},
    // A forward scan ran off the end of the text: the block it looked
    // through is never closed.
    {msg::kEndifNotFound, nullptr, NoteHint::kBlockOpener, "the IF that no ENDIF closes opens here", "if",
     "endif"},
    {msg::kEndwhileNotFound, nullptr, NoteHint::kBlockOpener, "the WHILE that no ENDWHILE closes opens here",
     "while", "endwhile"},
    {msg::kEndselectNotFound, nullptr, NoteHint::kBlockOpener,
     "the SELECT that no ENDSELECT closes opens here", "select", "endselect"},
    {msg::kEndtryNotFound, nullptr, NoteHint::kBlockOpener, "the TRY that no ENDTRY closes opens here", "try",
     "endtry"},
    {msg::kEndprocNotFound, nullptr, NoteHint::kBlockOpener, "the PROC that no ENDPROC closes opens here",
     "proc", "endproc"},
};

}  // namespace tallow
