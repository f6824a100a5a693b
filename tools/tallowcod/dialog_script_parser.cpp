// The dialog-script reader: a recursive-descent parser over RcLexer that
// builds one DialogTemplate per DIALOG statement.
#include "tools/tallowcod/dialog_script_parser.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <limits>

#include "tools/tallowcod/rc_controls.h"
#include "tools/tallowcod/rc_names.h"

namespace tallow::codec {
namespace {

bool SameWord(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::toupper(static_cast<unsigned char>(x)) == y; });
}

// Memory flags of 16-bit resources, accepted after DIALOG and ignored.
constexpr std::string_view kMemoryFlags[] = {"DISCARDABLE", "MOVEABLE", "FIXED",     "PURE",
                                             "IMPURE",      "PRELOAD",  "LOADONCALL"};

// The predefined classes that CONTROL may name without quotes, by ordinal.
constexpr std::string_view kClassKeywords[] = {"BUTTON",  "EDIT",      "STATIC",
                                               "LISTBOX", "SCROLLBAR", "COMBOBOX"};

class Parser {
public:
    Parser(std::string_view text, std::string_view fileName) : lex_(text, fileName), fileName_(fileName) {}

    // file = { dialog }
    std::vector<ScriptDialog> File() {
        std::vector<ScriptDialog> dialogs;
        while (lex_.Peek().kind != RcTokenKind::End)
            dialogs.push_back(Dialog());
        return dialogs;
    }

private:
    bool PeekWord(std::string_view word) {
        const RcToken& token = lex_.Peek();
        return token.kind == RcTokenKind::Name && SameWord(token.text, word);
    }
    bool PeekPunct(char c) {
        const RcToken& token = lex_.Peek();
        return token.kind == RcTokenKind::Punct && token.text[0] == c;
    }
    bool TakePunct(char c) {
        if (!PeekPunct(c)) return false;
        lex_.Next();
        return true;
    }
    void Expect(char c, std::string_view what) {
        if (!TakePunct(c)) lex_.Expected(what);
    }
    std::u16string String(std::string_view what) {
        if (lex_.Peek().kind != RcTokenKind::String) lex_.Expected(what);
        return lex_.Next().units;
    }

    // dialog = name "DIALOG" {memflag} x "," y "," cx "," cy {option} block
    ScriptDialog Dialog() {
        ScriptDialog result;
        const RcToken& name = lex_.Peek();
        result.line = name.line;
        if (name.kind == RcTokenKind::Name || name.kind == RcTokenKind::Number)
            result.name = lex_.Next().text;
        else if (name.kind == RcTokenKind::String)
            result.name = NarrowUnits(lex_.Next().units);
        else
            lex_.Expected("a dialog name");
        if (PeekWord("DIALOGEX"))
            lex_.Fail("DIALOGEX is not supported (code files hold classic templates): use DIALOG");
        if (!PeekWord("DIALOG")) lex_.Expected("DIALOG after the dialog name");
        lex_.Next();
        while (std::any_of(std::begin(kMemoryFlags), std::end(kMemoryFlags),
                           [&](auto f) { return PeekWord(f); }))
            lex_.Next();
        DialogTemplate& dialog = result.dialog;
        Rect(dialog.x, dialog.y, dialog.cx, dialog.cy, "the dialog's x");
        dialog.style = kDefaultDialogStyle;
        uint32_t styleTerms = 0;
        while (!PeekWord("BEGIN") && !PeekPunct('{'))
            Option(dialog, styleTerms);
        lex_.Next();
        while (!PeekWord("END") && !PeekPunct('}')) {
            if (dialog.items.size() == std::numeric_limits<uint16_t>::max())
                lex_.Fail("too many controls in one dialog");
            dialog.items.push_back(Control());
        }
        lex_.Next();
        return result;
    }

    // option = "STYLE" style | "EXSTYLE" expr | "CAPTION" string | "FONT" expr "," string
    //        | "MENU" name | "CLASS" (string | expr) | "LANGUAGE" expr "," expr | "CHARACTERISTICS" expr |
    //        "VERSION" expr
    // STYLE starts from what earlier STYLE, CAPTION and FONT statements set;
    // CAPTION and FONT add their bits to the style whenever they come.
    void Option(DialogTemplate& dialog, uint32_t& styleTerms) {
        if (lex_.Peek().kind != RcTokenKind::Name) lex_.Expected("a dialog option or BEGIN");
        RcToken word = lex_.Next();
        if (SameWord(word.text, "STYLE")) {
            styleTerms = Style(styleTerms);
            dialog.style = styleTerms;
        } else if (SameWord(word.text, "EXSTYLE")) {
            dialog.exStyle = Expr();
        } else if (SameWord(word.text, "CAPTION")) {
            dialog.title = String("the caption as a string");
            styleTerms |= kWsCaption;
            dialog.style |= kWsCaption;
        } else if (SameWord(word.text, "FONT")) {
            dialog.pointSize = static_cast<uint16_t>(Expr());
            Expect(',', "',' after the point size");
            dialog.typeface = String("the typeface as a string");
            styleTerms |= kDsSetFont;
            dialog.style |= kDsSetFont;
        } else if (SameWord(word.text, "MENU")) {
            dialog.menu = ResourceName("a menu name");
        } else if (SameWord(word.text, "CLASS")) {
            dialog.windowClass = lex_.Peek().kind == RcTokenKind::String
                                     ? NameOrOrdinal::Named(lex_.Next().units)
                                     : NameOrOrdinal::Number(Expr());
        } else if (SameWord(word.text, "LANGUAGE")) {
            Expr();
            Expect(',', "',' after the language");
            Expr();
        } else if (SameWord(word.text, "CHARACTERISTICS") || SameWord(word.text, "VERSION")) {
            Expr();
        } else {
            throw DialogScriptError(Where(word) + "expected a dialog option or BEGIN, found '" + word.text +
                                    "'");
        }
    }

    std::string Where(const RcToken& token) { return fileName_ + ":" + std::to_string(token.line) + ": "; }

    // resource name = name | number | string
    NameOrOrdinal ResourceName(std::string_view what) {
        const RcToken& token = lex_.Peek();
        if (token.kind == RcTokenKind::Number)
            return NameOrOrdinal::Number(static_cast<uint16_t>(lex_.Next().number));
        if (token.kind == RcTokenKind::String) return NameOrOrdinal::Named(lex_.Next().units);
        if (token.kind != RcTokenKind::Name) lex_.Expected(what);
        return NameOrOrdinal::Named(WidenBytes(lex_.Next().text));
    }

    // control = statement [text ","] id "," rect ["," style ["," expr]]
    //         | "CONTROL" (string | expr) "," id "," class "," style "," rect ["," expr]
    DialogItem Control() {
        if (lex_.Peek().kind != RcTokenKind::Name) lex_.Expected("a control statement or END");
        if (PeekWord("CONTROL")) return GenericControl();
        auto row = std::find_if(std::begin(kControlStatements), std::end(kControlStatements),
                                [&](const ControlStatement& s) { return PeekWord(s.keyword); });
        if (row == std::end(kControlStatements)) lex_.Expected("a control statement or END");
        lex_.Next();
        DialogItem item;
        item.windowClass = NameOrOrdinal::Number(row->classOrdinal);
        item.title = NameOrOrdinal::Named(u"");
        if (row->hasText) {
            item.title.name = String("the control's text as a string");
            Expect(',', "',' after the control's text");
        }
        item.id = static_cast<uint16_t>(Expr());
        Expect(',', "',' after the control id");
        Rect(item.x, item.y, item.cx, item.cy, "the control's x");
        item.style = row->defaultStyle;
        if (TakePunct(',')) {
            item.style = Style(row->baseStyle);
            if (TakePunct(',')) item.exStyle = Expr();
        }
        return item;
    }

    DialogItem GenericControl() {
        lex_.Next();
        DialogItem item;
        item.title = lex_.Peek().kind == RcTokenKind::String
                         ? NameOrOrdinal::Named(lex_.Next().units)
                         : NameOrOrdinal::Number(static_cast<uint16_t>(Expr()));
        Expect(',', "',' after the control's text");
        item.id = static_cast<uint16_t>(Expr());
        Expect(',', "',' after the control id");
        item.windowClass = ClassName();
        Expect(',', "',' after the control class");
        item.style = Style(kControl);
        Expect(',', "',' after the control style");
        Rect(item.x, item.y, item.cx, item.cy, "the control's x");
        if (TakePunct(',')) item.exStyle = Expr();
        return item;
    }

    // class = string | "BUTTON" | "EDIT" | "STATIC" | "LISTBOX" | "SCROLLBAR" | "COMBOBOX" | expr
    NameOrOrdinal ClassName() {
        if (lex_.Peek().kind == RcTokenKind::String) return NameOrOrdinal::Named(lex_.Next().units);
        for (size_t i = 0; i < std::size(kClassKeywords); ++i) {
            if (!PeekWord(kClassKeywords[i])) continue;
            lex_.Next();
            return NameOrOrdinal::Number(static_cast<uint16_t>(0x80 + i));
        }
        return NameOrOrdinal::Number(static_cast<uint16_t>(Expr()));
    }

    // rect = expr "," expr "," expr "," expr
    void Rect(int16_t& x, int16_t& y, int16_t& cx, int16_t& cy, std::string_view first) {
        x = static_cast<int16_t>(Expr(first));
        Expect(',', "',' after x");
        y = static_cast<int16_t>(Expr());
        Expect(',', "',' after y");
        cx = static_cast<int16_t>(Expr());
        Expect(',', "',' after the width");
        cy = static_cast<int16_t>(Expr());
    }

    // style = ["NOT"] term {"|" ["NOT"] term}, applied in order to start
    uint32_t Style(uint32_t start) {
        uint32_t style = start;
        do {
            bool negate = PeekWord("NOT");
            if (negate) lex_.Next();
            uint32_t value = Primary("a style");
            style = negate ? style & ~value : style | value;
        } while (TakePunct('|'));
        return style;
    }

    // expr = xor {"|" xor}; xor = and {"^" and}; and = sum {"&" sum};
    // sum = product {("+" | "-") product}; product = unary {("*" | "/" | "%") unary}
    uint32_t Expr(std::string_view what = "a number") { return Binary(0, what); }

    uint32_t Binary(int level, std::string_view what) {
        static constexpr std::string_view kLevels[] = {"|", "^", "&", "+-", "*/%"};
        if (level == static_cast<int>(std::size(kLevels))) return Unary(what);
        uint32_t value = Binary(level + 1, what);
        while (lex_.Peek().kind == RcTokenKind::Punct &&
               kLevels[level].find(lex_.Peek().text[0]) != std::string_view::npos) {
            char op = lex_.Next().text[0];
            uint32_t right = Binary(level + 1, "a number");
            if ((op == '/' || op == '%') && right == 0) lex_.Fail("division by zero");
            switch (op) {
                case '|':
                    value |= right;
                    break;
                case '^':
                    value ^= right;
                    break;
                case '&':
                    value &= right;
                    break;
                case '+':
                    value += right;
                    break;
                case '-':
                    value -= right;
                    break;
                case '*':
                    value *= right;
                    break;
                case '/':
                    value = static_cast<uint32_t>(Signed(value) / Signed(right));
                    break;
                default:
                    value = static_cast<uint32_t>(Signed(value) % Signed(right));
                    break;
            }
        }
        return value;
    }

    // Signed 32-bit values widened, so that the one quotient that does not
    // fit (the smallest value divided by -1) wraps instead of trapping.
    static int64_t Signed(uint32_t value) { return static_cast<int32_t>(value); }

    // unary = ("-" | "~") unary | primary
    // Every nesting of parentheses and signs passes here once: the depth is
    // bounded so that no text can run the parser out of stack.
    uint32_t Unary(std::string_view what) {
        if (depth_ >= kMaxExpressionDepth) lex_.Fail("expression nested too deeply");
        ++depth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        if (TakePunct('-')) return 0u - Unary("a number");
        if (TakePunct('~')) return ~Unary("a number");
        return Primary(what);
    }

    // primary = number | name | "(" expr ")"
    uint32_t Primary(std::string_view what) {
        const RcToken& token = lex_.Peek();
        if (token.kind == RcTokenKind::Number) return lex_.Next().number;
        if (token.kind == RcTokenKind::Name) {
            if (auto value = LookUpRcName(token.text)) {
                lex_.Next();
                return *value;
            }
            lex_.Fail("unknown name '" + token.text + "' (expected " + std::string(what) + ")");
        }
        if (TakePunct('(')) {
            uint32_t value = Expr();
            Expect(')', "')'");
            return value;
        }
        lex_.Expected(what);
    }

    // Deep enough for any expression a person writes, shallow enough for a
    // 1 MiB thread stack under the sanitizers.
    static constexpr int kMaxExpressionDepth = 256;

    RcLexer lex_;
    std::string fileName_;
    int depth_ = 0;
};

}  // namespace

std::vector<ScriptDialog> ParseDialogScript(std::string_view text, std::string_view fileName) {
    return Parser(text, fileName).File();
}

}  // namespace tallow::codec
