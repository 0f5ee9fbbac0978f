// Resource compiler for the Windows stand-in: reads a resource script and
// writes a C++ file that registers its dialog templates and bitmaps with
// the stand-in, under the instance handle of the module the file is linked
// into, when that module is loaded (and removes them when it is unloaded).
//
//   rc_to_cpp <script.rc> <output.cpp> <anchor>
//
// <anchor> names an extern "C" object that the output defines, so that a
// link can ask for the file out of a static library (-u <anchor>).
//
// The script language is the subset the plug-in's script uses, with the
// meanings of the Windows resource compilers (styles as windres builds
// them): #include of a quoted header (its #define, #ifndef, #ifdef, #endif
// lines) or of a system header (skipped: the Windows constants are built
// in); DIALOG and DIALOGEX with STYLE, EXSTYLE, CAPTION and FONT; the
// controls CONTROL, LTEXT, CTEXT, RTEXT, PUSHBUTTON, DEFPUSHBUTTON,
// GROUPBOX, AUTOCHECKBOX, EDITTEXT and LISTBOX; BITMAP; LANGUAGE. Anything
// else is an error.
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---- Errors ------------------------------------------------------------------

struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw ScriptError(where + ": " + what);
}

// ---- Constants known without any header ---------------------------------------

#define VEXO_CONSTANT(name) {#name, static_cast<std::int64_t>(name)}
const std::map<std::string, std::int64_t> kBuiltIns = {
    VEXO_CONSTANT(WS_OVERLAPPED),   VEXO_CONSTANT(WS_POPUP),         VEXO_CONSTANT(WS_CHILD),
    VEXO_CONSTANT(WS_MINIMIZE),     VEXO_CONSTANT(WS_VISIBLE),       VEXO_CONSTANT(WS_DISABLED),
    VEXO_CONSTANT(WS_CLIPSIBLINGS), VEXO_CONSTANT(WS_CLIPCHILDREN),  VEXO_CONSTANT(WS_MAXIMIZE),
    VEXO_CONSTANT(WS_CAPTION),      VEXO_CONSTANT(WS_BORDER),        VEXO_CONSTANT(WS_DLGFRAME),
    VEXO_CONSTANT(WS_VSCROLL),      VEXO_CONSTANT(WS_HSCROLL),       VEXO_CONSTANT(WS_SYSMENU),
    VEXO_CONSTANT(WS_THICKFRAME),   VEXO_CONSTANT(WS_GROUP),         VEXO_CONSTANT(WS_TABSTOP),
    VEXO_CONSTANT(WS_EX_DLGMODALFRAME), VEXO_CONSTANT(WS_EX_TRANSPARENT),
    VEXO_CONSTANT(WS_EX_CLIENTEDGE), VEXO_CONSTANT(WS_EX_STATICEDGE),
    VEXO_CONSTANT(DS_ABSALIGN),     VEXO_CONSTANT(DS_SYSMODAL),      VEXO_CONSTANT(DS_3DLOOK),
    VEXO_CONSTANT(DS_FIXEDSYS),     VEXO_CONSTANT(DS_NOFAILCREATE),  VEXO_CONSTANT(DS_LOCALEDIT),
    VEXO_CONSTANT(DS_SETFONT),      VEXO_CONSTANT(DS_MODALFRAME),    VEXO_CONSTANT(DS_NOIDLEMSG),
    VEXO_CONSTANT(DS_SETFOREGROUND), VEXO_CONSTANT(DS_CONTROL),      VEXO_CONSTANT(DS_CENTER),
    VEXO_CONSTANT(DS_CENTERMOUSE),  VEXO_CONSTANT(DS_CONTEXTHELP),
    VEXO_CONSTANT(BS_PUSHBUTTON),   VEXO_CONSTANT(BS_DEFPUSHBUTTON), VEXO_CONSTANT(BS_CHECKBOX),
    VEXO_CONSTANT(BS_AUTOCHECKBOX), VEXO_CONSTANT(BS_RADIOBUTTON),   VEXO_CONSTANT(BS_3STATE),
    VEXO_CONSTANT(BS_AUTO3STATE),   VEXO_CONSTANT(BS_GROUPBOX),      VEXO_CONSTANT(BS_USERBUTTON),
    VEXO_CONSTANT(BS_AUTORADIOBUTTON), VEXO_CONSTANT(BS_OWNERDRAW),  VEXO_CONSTANT(BS_LEFTTEXT),
    VEXO_CONSTANT(BS_MULTILINE),    VEXO_CONSTANT(BS_NOTIFY),        VEXO_CONSTANT(BS_FLAT),
    VEXO_CONSTANT(ES_LEFT),         VEXO_CONSTANT(ES_CENTER),        VEXO_CONSTANT(ES_RIGHT),
    VEXO_CONSTANT(ES_MULTILINE),    VEXO_CONSTANT(ES_UPPERCASE),     VEXO_CONSTANT(ES_LOWERCASE),
    VEXO_CONSTANT(ES_PASSWORD),     VEXO_CONSTANT(ES_AUTOVSCROLL),   VEXO_CONSTANT(ES_AUTOHSCROLL),
    VEXO_CONSTANT(ES_NOHIDESEL),    VEXO_CONSTANT(ES_OEMCONVERT),    VEXO_CONSTANT(ES_READONLY),
    VEXO_CONSTANT(ES_WANTRETURN),   VEXO_CONSTANT(ES_NUMBER),
    VEXO_CONSTANT(SS_LEFT),         VEXO_CONSTANT(SS_CENTER),        VEXO_CONSTANT(SS_RIGHT),
    VEXO_CONSTANT(SS_ICON),         VEXO_CONSTANT(SS_BLACKRECT),     VEXO_CONSTANT(SS_GRAYRECT),
    VEXO_CONSTANT(SS_WHITERECT),    VEXO_CONSTANT(SS_BLACKFRAME),    VEXO_CONSTANT(SS_SIMPLE),
    VEXO_CONSTANT(SS_LEFTNOWORDWRAP), VEXO_CONSTANT(SS_BITMAP),      VEXO_CONSTANT(SS_ETCHEDFRAME),
    VEXO_CONSTANT(SS_NOPREFIX),     VEXO_CONSTANT(SS_NOTIFY),        VEXO_CONSTANT(SS_CENTERIMAGE),
    VEXO_CONSTANT(SS_SUNKEN),
    VEXO_CONSTANT(LBS_NOTIFY),      VEXO_CONSTANT(LBS_SORT),         VEXO_CONSTANT(LBS_NOREDRAW),
    VEXO_CONSTANT(LBS_MULTIPLESEL), VEXO_CONSTANT(LBS_OWNERDRAWFIXED),
    VEXO_CONSTANT(LBS_OWNERDRAWVARIABLE), VEXO_CONSTANT(LBS_HASSTRINGS),
    VEXO_CONSTANT(LBS_USETABSTOPS), VEXO_CONSTANT(LBS_NOINTEGRALHEIGHT),
    VEXO_CONSTANT(LBS_MULTICOLUMN), VEXO_CONSTANT(LBS_WANTKEYBOARDINPUT),
    VEXO_CONSTANT(LBS_EXTENDEDSEL), VEXO_CONSTANT(LBS_DISABLENOSCROLL), VEXO_CONSTANT(LBS_NODATA),
    VEXO_CONSTANT(LBS_NOSEL),       VEXO_CONSTANT(LBS_STANDARD),
    VEXO_CONSTANT(IDOK),            VEXO_CONSTANT(IDCANCEL),
};
#undef VEXO_CONSTANT

// ---- Reading: comments, preprocessor lines, tokens ------------------------------

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError(path + ": cannot be read");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Replaces comments by spaces (keeping line breaks), leaving strings alone.
std::string StripComments(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      out += c;
      for (++i; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size()) out += text[++i];
        else if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') out += text[++i];  // "" inside a string
          else break;
        } else if (text[i] == '\n') break;
      }
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
      out += '\n';
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      for (i += 2; i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/'); ++i)
        if (text[i] == '\n') out += '\n';
      ++i;
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

enum class TokenKind { Name, Number, String, Punct, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // names, punctuation, decoded strings
  std::int64_t number = 0;
  std::string where;
};

class Script {
 public:
  Script(const std::string& path) : path_(path) {}

  std::vector<Token> tokens;
  std::map<std::string, std::vector<Token>> defines;  // values, split into tokens

  // Reads the script, taking its preprocessor lines, and splits the rest
  // into tokens.
  void Read() { ReadLines(path_, true); }

 private:
  void ReadLines(const std::string& path, bool isScript) {
    std::istringstream lines(StripComments(ReadFile(path)));
    std::string line;
    int number = 0;
    std::vector<bool> skipping;  // one entry per open #if
    while (std::getline(lines, line)) {
      ++number;
      const std::string where = path + ":" + std::to_string(number);
      std::istringstream words(line);
      std::string first;
      words >> first;
      const bool skipped = !skipping.empty() && skipping.back();
      if (!first.empty() && first[0] == '#') {
        std::string name;
        words >> name;
        if (first == "#ifdef" || first == "#ifndef") {
          const bool defined = defines.count(name) || kBuiltIns.count(name);
          skipping.push_back(skipped || (first == "#ifdef" ? !defined : defined));
        } else if (first == "#else") {
          if (skipping.empty()) Fail(where, "#else without #if");
          const bool outer = skipping.size() > 1 && skipping[skipping.size() - 2];
          skipping.back() = outer || !skipping.back();
        } else if (first == "#endif") {
          if (skipping.empty()) Fail(where, "#endif without #if");
          skipping.pop_back();
        } else if (skipped || first == "#pragma") {
        } else if (first == "#define") {
          std::string value;
          std::getline(words, value);
          defines[name] = Tokenize(value, where);
        } else if (first == "#include") {
          if (name.size() > 2 && name.front() == '"' && name.back() == '"')
            ReadLines(Folder(path) + "/" + name.substr(1, name.size() - 2), false);
          else if (!(name.size() > 2 && name.front() == '<' && name.back() == '>'))
            Fail(where, "#include needs \"file\" or <file>");
        } else {
          Fail(where, "unsupported preprocessor line " + first);
        }
        continue;
      }
      if (skipped) continue;
      if (!isScript) {
        if (!first.empty()) Fail(where, "a header may only hold preprocessor lines");
        continue;
      }
      const std::vector<Token> lineTokens = Tokenize(line, where);
      tokens.insert(tokens.end(), lineTokens.begin(), lineTokens.end());
    }
    if (!skipping.empty()) Fail(path, "#if without #endif");
  }

  static std::vector<Token> Tokenize(const std::string& line, const std::string& where) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < line.size();) {
      const unsigned char c = static_cast<unsigned char>(line[i]);
      Token t;
      t.where = where;
      if (std::isspace(c)) {
        ++i;
        continue;
      }
      if (c == '"') {
        t.kind = TokenKind::String;
        for (++i;; ++i) {
          if (i >= line.size()) Fail(where, "string not closed");
          if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
              t.text += '"';
              ++i;
              continue;
            }
            ++i;
            break;
          }
          if (line[i] == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            switch (e) {
              case 'n': t.text += '\n'; break;
              case 't': t.text += '\t'; break;
              case 'a': t.text += '\a'; break;
              case '\\': t.text += '\\'; break;
              case '"': t.text += '"'; break;
              default: Fail(where, std::string("unsupported escape \\") + e);
            }
            continue;
          }
          t.text += line[i];
        }
      } else if (std::isdigit(c)) {
        t.kind = TokenKind::Number;
        std::size_t end = i;
        t.number = static_cast<std::int64_t>(std::stoull(line.substr(i), &end, 0));
        i += end;
        while (i < line.size() && (line[i] == 'L' || line[i] == 'l' || line[i] == 'U' || line[i] == 'u'))
          ++i;
      } else if (std::isalpha(c) || c == '_') {
        t.kind = TokenKind::Name;
        while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_'))
          t.text += line[i++];
      } else if (std::string(",|()-+~&{}").find(static_cast<char>(c)) != std::string::npos) {
        t.kind = TokenKind::Punct;
        t.text = std::string(1, static_cast<char>(c));
        ++i;
      } else {
        Fail(where, std::string("unexpected character '") + static_cast<char>(c) + "'");
      }
      tokens.push_back(t);
    }
    return tokens;
  }

  std::string path_;
};

// ---- Parsing ----------------------------------------------------------------------

struct Control {
  std::string windowClass;
  std::string text;
  std::int64_t id = 0;
  std::uint32_t style = 0, exStyle = 0;
  std::int64_t x = 0, y = 0, cx = 0, cy = 0;
};

struct Dialog {
  std::int64_t id = 0;
  std::uint32_t style = 0, exStyle = 0;
  std::int64_t x = 0, y = 0, cx = 0, cy = 0;
  std::optional<std::string> caption;
  std::int64_t pointSize = 0;
  std::string typeface;
  std::vector<Control> controls;
};

struct Bitmap {
  std::int64_t id = 0;
  std::vector<unsigned char> dib;  // the file without its 14-byte header
};

// Default style of each control statement, and what it keeps when the
// script gives a style of its own (windres's rules).
struct ControlKind {
  const char* windowClass;
  bool hasText;
  std::uint32_t defaultStyle;
  std::uint32_t baseStyle;
};
const std::map<std::string, ControlKind> kControlStatements = {
    {"LTEXT", {"STATIC", true, SS_LEFT | WS_GROUP, SS_LEFT}},
    {"CTEXT", {"STATIC", true, SS_CENTER | WS_GROUP, SS_CENTER}},
    {"RTEXT", {"STATIC", true, SS_RIGHT | WS_GROUP, SS_RIGHT}},
    {"PUSHBUTTON", {"BUTTON", true, BS_PUSHBUTTON | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP}},
    {"DEFPUSHBUTTON", {"BUTTON", true, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_DEFPUSHBUTTON | WS_TABSTOP}},
    {"GROUPBOX", {"BUTTON", true, BS_GROUPBOX, BS_GROUPBOX}},
    {"AUTOCHECKBOX", {"BUTTON", true, BS_AUTOCHECKBOX | WS_TABSTOP, BS_AUTOCHECKBOX | WS_TABSTOP}},
    {"EDITTEXT", {"EDIT", false, ES_LEFT | WS_BORDER | WS_TABSTOP, ES_LEFT | WS_BORDER | WS_TABSTOP}},
    {"LISTBOX", {"LISTBOX", false, LBS_NOTIFY | WS_BORDER, LBS_NOTIFY | WS_BORDER}},
};

class Parser {
 public:
  explicit Parser(const Script& script) : script_(script) {}

  std::vector<Dialog> dialogs;
  std::vector<Bitmap> bitmaps;

  void Parse(const std::string& scriptFolder) {
    while (Peek().kind != TokenKind::End) {
      if (PeekName("LANGUAGE")) {
        Next();
        Number();
        Expect(",");
        Number();
        continue;
      }
      const Token& idToken = Peek();
      const std::int64_t id = Number();
      if (id < 0 || id > 0xFFFF) Fail(idToken.where, "resource ids are 0 to 65535");
      const Token kind = Next();
      if (kind.kind != TokenKind::Name) Fail(kind.where, "resource type expected");
      if (kind.text == "DIALOG" || kind.text == "DIALOGEX") {
        dialogs.push_back(ParseDialog(id, kind.text == "DIALOGEX"));
      } else if (kind.text == "BITMAP") {
        const Token file = Next();
        if (file.kind != TokenKind::String) Fail(file.where, "BITMAP needs a file name");
        bitmaps.push_back(ReadBitmap(id, scriptFolder + "/" + file.text, file.where));
      } else {
        Fail(kind.where, "unsupported resource type " + kind.text);
      }
    }
  }

 private:
  const Token& Peek() {
    static const Token end;
    return pos_ < tokens_->size() ? (*tokens_)[pos_] : end;
  }
  Token Next() {
    Token t = Peek();
    if (t.kind == TokenKind::End) Fail("end of script", "more expected");
    ++pos_;
    return t;
  }
  bool PeekName(const char* name) { return Peek().kind == TokenKind::Name && Peek().text == name; }
  bool PeekPunct(const char* p) { return Peek().kind == TokenKind::Punct && Peek().text == p; }
  void Expect(const char* p) {
    const Token t = Next();
    if (t.kind != TokenKind::Punct || t.text != p) Fail(t.where, std::string("'") + p + "' expected");
  }
  std::string String() {
    const Token t = Next();
    if (t.kind != TokenKind::String) Fail(t.where, "text in quotes expected");
    return t.text;
  }

  // The value of a name: a #define (itself an expression) or a constant.
  std::int64_t NameValue(const Token& t, int depth) {
    if (depth > 32) Fail(t.where, "#define refers to itself");
    const auto d = script_.defines.find(t.text);
    if (d != script_.defines.end()) {
      const std::vector<Token>* savedTokens = tokens_;
      const std::size_t savedPos = pos_;
      tokens_ = &d->second;
      pos_ = 0;
      const std::int64_t value = Expression(depth + 1);
      if (pos_ != tokens_->size()) Fail(t.where, "cannot read the value of " + t.text);
      tokens_ = savedTokens;
      pos_ = savedPos;
      return value;
    }
    const auto b = kBuiltIns.find(t.text);
    if (b == kBuiltIns.end()) Fail(t.where, "unknown name " + t.text);
    return b->second;
  }

  std::int64_t Term(int depth) {
    const Token t = Next();
    if (t.kind == TokenKind::Number) return t.number;
    if (t.kind == TokenKind::Name) return NameValue(t, depth);
    if (t.kind == TokenKind::Punct && t.text == "-") return -Term(depth);
    if (t.kind == TokenKind::Punct && t.text == "~") return ~Term(depth);
    if (t.kind == TokenKind::Punct && t.text == "(") {
      const std::int64_t v = Expression(depth);
      Expect(")");
      return v;
    }
    Fail(t.where, "number or name expected");
  }

  // Numbers joined by |, &, + and -, left to right.
  std::int64_t Expression(int depth = 0) {
    std::int64_t v = Term(depth);
    while (PeekPunct("|") || PeekPunct("&") || PeekPunct("+") || PeekPunct("-")) {
      const std::string op = Next().text;
      const std::int64_t r = Term(depth);
      v = op == "|" ? (v | r) : op == "&" ? (v & r) : op == "+" ? v + r : v - r;
    }
    return v;
  }
  std::int64_t Number() { return Expression(); }

  // A style: flags joined by |, where NOT flag clears the flag from what
  // came before (the statement's own style included).
  std::uint32_t Style(std::uint32_t start) {
    std::uint32_t style = start;
    for (;;) {
      if (PeekName("NOT")) {
        Next();
        style &= ~static_cast<std::uint32_t>(Term(0));
      } else {
        style |= static_cast<std::uint32_t>(Term(0));
      }
      if (!PeekPunct("|")) return style;
      Next();
    }
  }

  void Rectangle(std::int64_t* x, std::int64_t* y, std::int64_t* cx, std::int64_t* cy) {
    *x = Number();
    Expect(",");
    *y = Number();
    Expect(",");
    *cx = Number();
    Expect(",");
    *cy = Number();
  }

  bool OptionalComma() {
    if (!PeekPunct(",")) return false;
    Next();
    return true;
  }

  Dialog ParseDialog(std::int64_t id, bool extended) {
    Dialog d;
    d.id = id;
    Rectangle(&d.x, &d.y, &d.cx, &d.cy);
    if (extended && OptionalComma()) Number();  // help id
    bool styled = false;
    for (;;) {
      const Token& t = Peek();
      if (t.kind != TokenKind::Name) Fail(t.where, "dialog statement expected");
      if (t.text == "BEGIN") break;
      Next();
      if (t.text == "STYLE") {
        d.style = Style(0);
        styled = true;
      } else if (t.text == "EXSTYLE") {
        d.exStyle = Style(0);
      } else if (t.text == "CAPTION") {
        d.caption = String();
      } else if (t.text == "FONT") {
        d.pointSize = Number();
        Expect(",");
        d.typeface = String();
        // Weight, italic and character set of DIALOGEX fonts.
        while (extended && OptionalComma()) Number();
      } else {
        Fail(t.where, "unsupported dialog statement " + t.text);
      }
    }
    if (!styled) d.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    if (d.caption) d.style |= WS_CAPTION;
    if (!d.typeface.empty()) d.style |= DS_SETFONT;
    Next();  // BEGIN
    while (!PeekName("END")) d.controls.push_back(ParseControl(extended));
    Next();
    return d;
  }

  Control ParseControl(bool extended) {
    const Token statement = Next();
    if (statement.kind != TokenKind::Name) Fail(statement.where, "control statement expected");
    Control c;
    const std::uint32_t always = WS_CHILD | WS_VISIBLE;
    if (statement.text == "CONTROL") {
      c.text = String();
      Expect(",");
      c.id = Number();
      Expect(",");
      const Token cls = Next();
      if (cls.kind != TokenKind::String && cls.kind != TokenKind::Name)
        Fail(cls.where, "control class expected");
      c.windowClass = cls.text;
      Expect(",");
      c.style = Style(always);
      Expect(",");
      Rectangle(&c.x, &c.y, &c.cx, &c.cy);
      if (OptionalComma()) c.exStyle = Style(0);
    } else {
      const auto kind = kControlStatements.find(statement.text);
      if (kind == kControlStatements.end())
        Fail(statement.where, "unsupported control statement " + statement.text);
      c.windowClass = kind->second.windowClass;
      if (kind->second.hasText) {
        c.text = String();
        Expect(",");
      }
      c.id = Number();
      Expect(",");
      Rectangle(&c.x, &c.y, &c.cx, &c.cy);
      c.style = always | kind->second.defaultStyle;
      if (OptionalComma()) {
        c.style = Style(always | kind->second.baseStyle);
        if (OptionalComma()) c.exStyle = Style(0);
      }
    }
    if (extended && OptionalComma()) Number();  // help id
    return c;
  }

  Bitmap ReadBitmap(std::int64_t id, const std::string& path, const std::string& where) {
    std::string bytes;
    try {
      bytes = ReadFile(path);
    } catch (const ScriptError& e) {
      Fail(where, e.what());
    }
    if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M')
      Fail(where, path + " is not a BMP file");
    Bitmap b;
    b.id = id;
    b.dib.assign(bytes.begin() + 14, bytes.end());
    return b;
  }

  const Script& script_;
  const std::vector<Token>* tokens_ = &script_.tokens;  // what is being read
  std::size_t pos_ = 0;
};

// ---- Writing -------------------------------------------------------------------------

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", c);
      out += octal;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08Xu", v);
  return text;
}

std::string Generate(const Parser& parser, const std::string& scriptName, const std::string& anchor) {
  std::ostringstream out;
  out << "// Generated by rc_to_cpp from " << scriptName << ". Do not edit.\n"
      << "#include <vexo_win32_host.h>\n\n"
      << "extern \"C\" void* __dso_handle __attribute__((visibility(\"hidden\")));\n"
      << "extern \"C\" __attribute__((used)) const int " << anchor << " = 1;\n\n"
      << "namespace {\n\n"
      << "using vexo::win32::ControlTemplate;\n"
      << "using vexo::win32::DialogTemplate;\n\n";
  for (const Dialog& d : parser.dialogs) {
    out << "const ControlTemplate kDialog" << d.id << "Controls[] = {\n";
    for (const Control& c : d.controls)
      out << "    {" << Quoted(c.windowClass) << ", " << Quoted(c.text) << ", " << c.id << ", "
          << Hex(c.style) << ", " << Hex(c.exStyle) << ", " << c.x << ", " << c.y << ", " << c.cx
          << ", " << c.cy << "},\n";
    if (d.controls.empty()) out << "    {nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0},\n";
    out << "};\n"
        << "const DialogTemplate kDialog" << d.id << " = {" << Hex(d.style) << ", "
        << Hex(d.exStyle) << ", " << d.x << ", " << d.y << ", " << d.cx << ", " << d.cy << ", "
        << (d.caption ? Quoted(*d.caption) : "nullptr") << ", " << d.pointSize << ", "
        << (d.typeface.empty() ? "nullptr" : Quoted(d.typeface)) << ", kDialog" << d.id
        << "Controls, " << d.controls.size() << "};\n\n";
  }
  for (const Bitmap& b : parser.bitmaps) {
    out << "const unsigned char kBitmap" << b.id << "[] = {";
    for (std::size_t i = 0; i < b.dib.size(); ++i)
      out << (i % 24 == 0 ? "\n    " : "") << static_cast<int>(b.dib[i]) << ",";
    out << "\n};\n\n";
  }
  out << "HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__dso_handle); }\n\n"
      << "struct Registration {\n"
      << "  Registration() {\n";
  for (const Dialog& d : parser.dialogs)
    out << "    vexo::win32::RegisterDialogTemplate(ThisModule(), " << d.id << ", &kDialog" << d.id
        << ");\n";
  for (const Bitmap& b : parser.bitmaps)
    out << "    vexo::win32::RegisterBitmap(ThisModule(), " << b.id << ", kBitmap" << b.id
        << ", sizeof kBitmap" << b.id << ");\n";
  out << "  }\n"
      << "  ~Registration() { vexo::win32::UnregisterModuleResources(ThisModule()); }\n"
      << "  Registration(const Registration&) = delete;\n"
      << "  Registration& operator=(const Registration&) = delete;\n"
      << "} registration;\n\n"
      << "}  // namespace\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: rc_to_cpp <script.rc> <output.cpp> <anchor>\n");
    return 2;
  }
  try {
    Script script(argv[1]);
    script.Read();
    Parser parser(script);
    parser.Parse(Folder(argv[1]));
    const std::string scriptPath = argv[1];
    const std::string scriptName = scriptPath.substr(scriptPath.find_last_of('/') + 1);
    const std::string text = Generate(parser, scriptName, argv[3]);
    // Written whole or not at all, so a failed run leaves no half file.
    const std::string temporary = std::string(argv[2]) + ".tmp";
    {
      std::ofstream out(temporary, std::ios::binary);
      out << text;
      if (!out.flush()) throw ScriptError(temporary + ": cannot be written");
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0)
      throw ScriptError(std::string(argv[2]) + ": cannot be written");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rc_to_cpp: %s\n", e.what());
    return 1;
  }
  return 0;
}
