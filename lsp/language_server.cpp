// Requests are answered from the documents' latest checks: every open and
// change checks the whole text again (full-text sync) and publishes its
// problems; completion, hover, symbols and definitions read what the check
// found.
#include "language_server.h"

#include <cctype>
#include <exception>
#include <new>

#include "core/program.h"
#include "expr/lexer.h"
#include "expr/names.h"

namespace tallow::lsp {

namespace {

// Completion item and symbol kinds of the protocol.
constexpr int kItemMethod = 2, kItemFunction = 3, kItemVariable = 6, kItemClass = 7, kItemModule = 9,
              kItemProperty = 10, kItemKeyword = 14, kItemReference = 18, kItemConstant = 21;
constexpr int kSymbolFunction = 12, kSymbolKey = 20;
constexpr int kSeverityError = 1;

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsNameChar(char c) {
    return !IsWordEndChar(c) && c != '"';
}

bool IsSuffix(char c) {
    return c == '$' || c == '#' || c == '@';
}

// The name at a place: the word around offset with its suffix, and the
// object word before it when it follows one with a dot.
struct NameAt {
    std::string owner;  // "clock" in clock.now; empty otherwise
    std::string word;   // without its suffix
    char suffix = 0;    // '$', '#', '@', or 0
    uint32_t start = 0;
};

NameAt FindNameAt(const std::string& text, uint32_t offset) {
    NameAt at;
    uint32_t start = offset, end = offset;
    while (start > 0 && IsNameChar(text[start - 1]))
        --start;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    // The cursor just after a suffix still names the word before it.
    if (start == end && start > 0 && IsSuffix(text[start - 1])) {
        end = --start;
        while (start > 0 && IsNameChar(text[start - 1]))
            --start;
    }
    at.word = text.substr(start, end - start);
    at.start = start;
    if (end < text.size() && IsSuffix(text[end])) at.suffix = text[end];
    if (start > 1 && text[start - 1] == '.') {
        uint32_t ownerStart = start - 1;
        while (ownerStart > 0 && IsNameChar(text[ownerStart - 1]))
            --ownerStart;
        at.owner = text.substr(ownerStart, start - 1 - ownerStart);
    }
    return at;
}

JsonValue Item(const std::string& label, int kind, const ReferenceEntry* entry = nullptr) {
    JsonValue item;
    item.Set("label", label);
    item.Set("kind", kind);
    if (entry) {
        if (*entry->forms)
            item.Set("detail", std::string(entry->forms).substr(0, std::string(entry->forms).find('\n')));
        if (*entry->summary) item.Set("documentation", entry->summary);
    }
    return item;
}

// The hover text of a reference entry: its forms as code, then the summary.
JsonValue HoverOf(const std::string& forms, const std::string& summary) {
    std::string text;
    if (!forms.empty()) text += "```tallow\n" + forms + "\n```\n";
    text += summary;
    JsonValue contents;
    contents.Set("kind", "markdown");
    contents.Set("value", text);
    JsonValue hover;
    hover.Set("contents", contents);
    return hover;
}

// A created object's type, by the NEW that made it.
std::string CreatedType(const TextFacts& facts, std::string_view name) {
    for (const TextName& n : facts.names)
        if (n.kind == TextNameKind::Object && NamesEqual(n.name, name)) return n.detail;
    return {};
}

bool SameName(const TextName& n, TextNameKind kind, std::string_view word, char suffix) {
    if (n.kind != kind) return false;
    if (kind == TextNameKind::Variable) return NamesEqual(n.name, std::string(word) + suffix);
    if (kind == TextNameKind::Procedure) {
        std::string_view bare = n.name;
        if (!bare.empty() && IsSuffix(bare.back())) bare.remove_suffix(1);
        return NamesEqual(bare, word);
    }
    return NamesEqual(n.name, word);
}

// The text as the runner would run it, at the same offsets: a UTF-8
// byte-order mark and a first line starting with #! are blanked.
std::string TextAsRun(const std::string& text) {
    std::string out = text;
    size_t from = 0;
    if (out.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        out.replace(0, 3, "   ");
        from = 3;
    }
    if (out.compare(from, 2, "#!") == 0)
        for (size_t i = from; i < out.size() && out[i] != '\n' && out[i] != '\r'; ++i)
            out[i] = ' ';
    return out;
}

}  // namespace

LanguageServer::LanguageServer() : program_(std::make_unique<Program>()) {
    catalog_ = std::make_unique<NameCatalog>(*program_);
}

LanguageServer::~LanguageServer() = default;

std::vector<std::string> LanguageServer::Handle(std::string_view body) {
    outgoing_.clear();
    std::optional<JsonValue> message = JsonValue::Parse(body);
    if (!message) {
        JsonValue error;
        error.Set("jsonrpc", "2.0");
        error.Set("id", nullptr);
        JsonValue detail;
        detail.Set("code", kParseError);
        detail.Set("message", "the message is not JSON");
        error.Set("error", detail);
        return {error.Write()};
    }
    return HandleMessage(*message);
}

void LanguageServer::Notify(const std::string& method, JsonValue params) {
    JsonValue note;
    note.Set("jsonrpc", "2.0");
    note.Set("method", method);
    note.Set("params", std::move(params));
    outgoing_.push_back(note.Write());
}

std::vector<std::string> LanguageServer::HandleMessage(const JsonValue& message) {
    const JsonValue& id = message["id"];
    const JsonValue& method = message["method"];
    bool request = message.IsObject() && (id.IsNumber() || id.IsString());
    auto respond = [&](JsonValue result, int code, const std::string& text) {
        JsonValue response;
        response.Set("jsonrpc", "2.0");
        response.Set("id", request ? id : JsonValue());
        if (code) {
            JsonValue error;
            error.Set("code", code);
            error.Set("message", text);
            response.Set("error", error);
        } else {
            response.Set("result", std::move(result));
        }
        outgoing_.push_back(response.Write());
        return outgoing_;
    };
    bool badId = message.IsObject() && !id.IsNull() && !request;
    if (!message.IsObject() || !method.IsString() || badId) {
        // A response from the client (an id and no method) needs no answer.
        if (message.IsObject() && request && method.IsNull()) return outgoing_;
        return respond({}, kInvalidRequest, "not a request or notification");
    }
    const std::string& name = method.Str();
    const JsonValue& params = message["params"];
    if (!request) {
        if (name == "exit") exited_ = true;
        if (!initialized_ || shutDown_) return outgoing_;
        try {
            if (name == "textDocument/didOpen") DidOpen(params);
            if (name == "textDocument/didChange") DidChange(params);
            if (name == "textDocument/didClose") DidClose(params);
        } catch (...) {
            // A notification has no answer: the document keeps its last state.
        }
        return outgoing_;
    }
    static const std::map<std::string, Handler, std::less<>> kHandlers = {
        {"initialize", &LanguageServer::Initialize},
        {"shutdown", &LanguageServer::Shutdown},
        {"textDocument/completion", &LanguageServer::Completion},
        {"textDocument/hover", &LanguageServer::Hover},
        {"textDocument/documentSymbol", &LanguageServer::DocumentSymbols},
        {"textDocument/definition", &LanguageServer::Definition},
    };
    auto handler = kHandlers.find(name);
    if (handler == kHandlers.end()) return respond({}, kMethodNotFound, "unknown method " + name);
    if (name == "initialize" && initialized_) return respond({}, kInvalidRequest, "initialized already");
    if (name != "initialize" && !initialized_) return respond({}, kServerNotInitialized, "not initialized");
    if (shutDown_) return respond({}, kInvalidRequest, "the server is shut down");
    if (!params.IsNull() && !params.IsObject())
        return respond({}, kInvalidParams, "params must be an object");
    try {
        return respond((this->*handler->second)(params), 0, {});
    } catch (const std::bad_alloc&) {
        return respond({}, kInternalError, "out of memory");
    } catch (...) {
        return respond({}, kInternalError, "the request failed");
    }
}

JsonValue LanguageServer::Initialize(const JsonValue&) {
    initialized_ = true;
    JsonValue sync;
    sync.Set("openClose", true);
    sync.Set("change", 1);  // the whole text with every change
    JsonValue completion;
    completion.Set("triggerCharacters", JsonValue::Array{JsonValue(".")});
    JsonValue capabilities;
    capabilities.Set("textDocumentSync", sync);
    capabilities.Set("completionProvider", completion);
    capabilities.Set("hoverProvider", true);
    capabilities.Set("documentSymbolProvider", true);
    capabilities.Set("definitionProvider", true);
    JsonValue info;
    info.Set("name", "tallow");
    JsonValue result;
    result.Set("capabilities", capabilities);
    result.Set("serverInfo", info);
    return result;
}

JsonValue LanguageServer::Shutdown(const JsonValue&) {
    shutDown_ = true;
    documents_.clear();
    return {};
}

void LanguageServer::DidOpen(const JsonValue& params) {
    const JsonValue& doc = params["textDocument"];
    if (!doc["uri"].IsString() || !doc["text"].IsString()) return;
    Check(doc["uri"].Str(), doc["text"].Str(), int(doc["version"].Num()));
}

void LanguageServer::DidChange(const JsonValue& params) {
    const JsonValue& doc = params["textDocument"];
    const JsonValue::Array& changes = params["contentChanges"].Items();
    if (!doc["uri"].IsString() || changes.empty()) return;
    // Full-text sync: the last change holds the whole text.
    const JsonValue& text = changes.back()["text"];
    if (!text.IsString() || !changes.back()["range"].IsNull()) return;
    Check(doc["uri"].Str(), text.Str(), int(doc["version"].Num()));
}

void LanguageServer::DidClose(const JsonValue& params) {
    const JsonValue& uri = params["textDocument"]["uri"];
    if (!uri.IsString() || !documents_.erase(uri.Str())) return;
    JsonValue cleared;
    cleared.Set("uri", uri);
    cleared.Set("diagnostics", JsonValue::Array{});
    Notify("textDocument/publishDiagnostics", cleared);
}

void LanguageServer::Check(const std::string& uri, std::string text, int version) {
    Document& document = documents_[uri];
    document.text = TextDocument(std::move(text), version);
    document.facts = CheckText(*program_, TextAsRun(document.text.Text()));
    JsonValue diagnostics = JsonValue::Array{};
    for (const TextProblem& problem : document.facts.problems) {
        JsonValue d;
        d.Set("range", Range(document.text, problem.start, problem.end));
        d.Set("severity", kSeverityError);
        d.Set("source", "tallow");
        d.Set("message", problem.message);
        diagnostics.Push(d);
    }
    JsonValue published;
    published.Set("uri", uri);
    published.Set("version", version);
    published.Set("diagnostics", diagnostics);
    Notify("textDocument/publishDiagnostics", published);
}

const LanguageServer::Document* LanguageServer::DocumentAt(const JsonValue& params, uint32_t* offset) const {
    const JsonValue& uri = params["textDocument"]["uri"];
    auto it = uri.IsString() ? documents_.find(uri.Str()) : documents_.end();
    if (it == documents_.end()) return nullptr;
    if (offset) {
        const JsonValue& position = params["position"];
        double line = position["line"].Num(-1), character = position["character"].Num(-1);
        if (line < 0 || character < 0 || line > 1e9 || character > 1e9) return nullptr;
        *offset = it->second.text.OffsetOf({int(line), int(character)});
    }
    return &it->second;
}

JsonValue LanguageServer::Range(const TextDocument& document, uint32_t start, uint32_t end) const {
    auto position = [](TextPosition p) {
        JsonValue v;
        v.Set("line", p.line);
        v.Set("character", p.character);
        return v;
    };
    JsonValue range;
    range.Set("start", position(document.PositionOf(start)));
    range.Set("end", position(document.PositionOf(end)));
    return range;
}

JsonValue LanguageServer::Completion(const JsonValue& params) {
    uint32_t offset = 0;
    const Document* document = DocumentAt(params, &offset);
    JsonValue items = JsonValue::Array{};
    if (!document) return items;
    const std::string& text = document->text.Text();
    NameAt at = FindNameAt(text, offset);
    // Only what comes before the cursor decides: a member after "object.".
    uint32_t wordStart = offset;
    while (wordStart > 0 && IsNameChar(text[wordStart - 1]))
        --wordStart;
    if (wordStart > 0 && text[wordStart - 1] == '.') {
        std::string owner = at.owner;
        std::string type = catalog_->IsObject(owner) ? owner : CreatedType(document->facts, owner);
        const std::vector<std::string>* members = type.empty() ? nullptr : catalog_->MembersOf(type);
        if (!members) return items;
        for (const std::string& member : *members) {
            bool property = IsSuffix(member.back());
            items.Push(Item(member, property ? kItemProperty : kItemMethod,
                            NameCatalog::Reference(type + "." + member)));
        }
        return items;
    }
    for (const std::string& name : catalog_->Keywords())
        items.Push(Item(name, kItemKeyword, NameCatalog::Reference(name)));
    for (const std::string& name : catalog_->Statements())
        items.Push(Item(name, kItemKeyword, NameCatalog::Reference(name)));
    for (const std::string& name : catalog_->Functions())
        items.Push(Item(name, kItemFunction, NameCatalog::Reference(name)));
    for (const std::string& name : catalog_->Constants())
        items.Push(Item(name + "@", kItemConstant, NameCatalog::Reference(name + "@")));
    for (const std::string& name : catalog_->Objects())
        items.Push(Item(name, kItemModule, NameCatalog::Reference(name)));
    for (const std::string& name : catalog_->Types())
        items.Push(Item(name, kItemClass, NameCatalog::Reference(name)));
    std::map<std::string, bool> seen;
    for (const TextName& n : document->facts.names) {
        JsonValue item;
        if (n.kind == TextNameKind::Procedure && n.definition) {
            item = Item(n.name, kItemFunction);
            item.Set("detail", "proc " + n.name + (n.detail.empty() ? "" : " " + n.detail));
            // A function procedure is called without its suffix.
            item.Set("insertText", IsSuffix(n.name.back()) ? n.name.substr(0, n.name.size() - 1) : n.name);
        } else if (n.kind == TextNameKind::Label && n.definition) {
            item = Item(n.name, kItemReference);
        } else if (n.kind == TextNameKind::Variable) {
            item = Item(n.name, kItemVariable);
        } else if (n.kind == TextNameKind::Object) {
            item = Item(n.name, kItemModule);
        } else {
            continue;
        }
        if (seen.emplace(Lower(n.name) + char('0' + int(n.kind)), true).second) items.Push(std::move(item));
    }
    return items;
}

JsonValue LanguageServer::Hover(const JsonValue& params) {
    uint32_t offset = 0;
    const Document* document = DocumentAt(params, &offset);
    if (!document) return {};
    NameAt at = FindNameAt(document->text.Text(), offset);
    if (at.word.empty()) return {};
    if (!at.owner.empty()) {
        std::string type = catalog_->IsObject(at.owner) ? at.owner : CreatedType(document->facts, at.owner);
        if (type.empty()) return {};
        std::string member = at.word + (at.suffix ? std::string(1, at.suffix) : "");
        const ReferenceEntry* entry = NameCatalog::Reference(type + "." + member);
        if (!entry) entry = NameCatalog::Reference(type + "." + at.word);
        return entry ? HoverOf(entry->forms, entry->summary) : JsonValue();
    }
    for (const TextName& n : document->facts.names)
        if (n.definition && SameName(n, TextNameKind::Procedure, at.word, 0))
            return HoverOf("proc " + n.name + (n.detail.empty() ? "" : " " + n.detail),
                           "A procedure of this script.");
    std::string word = at.word + (at.suffix == '@' ? "@" : "");
    if (const ReferenceEntry* entry = NameCatalog::Reference(word))
        return HoverOf(entry->forms, entry->summary);
    return {};
}

JsonValue LanguageServer::DocumentSymbols(const JsonValue& params) {
    const Document* document = DocumentAt(params);
    JsonValue symbols = JsonValue::Array{};
    if (!document) return symbols;
    for (const TextName& n : document->facts.names) {
        if (!n.definition || (n.kind != TextNameKind::Procedure && n.kind != TextNameKind::Label)) continue;
        JsonValue symbol;
        symbol.Set("name", n.name);
        symbol.Set("kind", n.kind == TextNameKind::Procedure ? kSymbolFunction : kSymbolKey);
        if (!n.detail.empty()) symbol.Set("detail", n.detail);
        JsonValue range = Range(document->text, n.start, n.end);
        symbol.Set("range", range);
        symbol.Set("selectionRange", range);
        symbols.Push(symbol);
    }
    return symbols;
}

JsonValue LanguageServer::Definition(const JsonValue& params) {
    uint32_t offset = 0;
    const Document* document = DocumentAt(params, &offset);
    if (!document) return {};
    NameAt at = FindNameAt(document->text.Text(), offset);
    if (at.word.empty() || !at.owner.empty()) return {};
    // A variable by its suffix; a bare word is a procedure or a label.
    std::vector<TextNameKind> kinds = {TextNameKind::Procedure, TextNameKind::Label};
    if (at.suffix == '$' || at.suffix == '#') kinds = {TextNameKind::Variable, TextNameKind::Procedure};
    for (TextNameKind kind : kinds) {
        for (const TextName& n : document->facts.names) {
            if (!n.definition || !SameName(n, kind, at.word, kind == TextNameKind::Variable ? at.suffix : 0))
                continue;
            JsonValue location;
            location.Set("uri", params["textDocument"]["uri"]);
            location.Set("range", Range(document->text, n.start, n.end));
            return location;
        }
    }
    return {};
}

}  // namespace tallow::lsp
