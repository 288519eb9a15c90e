// The conversion keeps a stack of the elements it has written, so that
// every element is closed, and decides for each tag and run of text where
// XHTML lets it stand: a block closes the paragraph or inline elements
// around it (the inline ones are opened again inside it), a list item or a
// table cell outside its list or row gets one, and an end tag closes what
// was left open inside its element.
#include "XhtmlConverter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

#include "model/Charset.h"
#include "model/TagScanner.h"
#include "model/Text.h"

namespace {

enum Flag : uint32_t {
    kVoid = 1u << 0,          // no content: written as <x/>
    kBlock = 1u << 1,         // flow content: closes the inline elements around it
    kPhrasingOnly = 1u << 2,  // holds text and inline elements only
    kFormatting = 1u << 3,    // opened again inside a block that closed it
    kHeading = 1u << 4,
    kList = 1u << 5,          // ul, ol: list items only
    kDefinitions = 1u << 6,   // dl: terms and definitions only
    kTable = 1u << 7,
    kRowGroup = 1u << 8,      // thead, tbody, tfoot
    kRow = 1u << 9,
    kCell = 1u << 10,
    kListItem = 1u << 11,
    kDefinition = 1u << 12,   // dt, dd
    kDropped = 1u << 13,      // left out with its content
    kHeadOnly = 1u << 14,     // left out in the body
    kLink = 1u << 15,
    kPicture = 1u << 16,
    kCaption = 1u << 17,
    kNav = 1u << 18,
};

struct Element {
    const char* name;     // as the scanner gives it
    const char* written;  // null: the tag is left out, its content kept
    uint32_t flags;
    const char* style;    // what an obsolete element stood for
};

constexpr uint32_t kInline = kPhrasingOnly;
constexpr uint32_t kParagraph = kBlock | kPhrasingOnly;

// Sorted by name for the search.
constexpr Element kElements[] = {
    {"A", "a", kInline | kLink, nullptr},
    {"ABBR", "abbr", kInline, nullptr},
    {"ACRONYM", "abbr", kInline, nullptr},
    {"ADDRESS", "address", kBlock, nullptr},
    {"AREA", nullptr, kVoid, nullptr},
    {"ARTICLE", "article", kBlock, nullptr},
    {"ASIDE", "aside", kBlock, nullptr},
    {"B", "b", kInline | kFormatting, nullptr},
    {"BASE", nullptr, kVoid | kHeadOnly, nullptr},
    {"BASEFONT", nullptr, kVoid, nullptr},
    {"BDI", "bdi", kInline, nullptr},
    {"BDO", "bdo", kInline, nullptr},
    {"BIG", "span", kInline | kFormatting, "font-size:larger"},
    {"BLOCKQUOTE", "blockquote", kBlock, nullptr},
    {"BR", "br", kVoid, nullptr},
    {"CAPTION", "caption", kCaption, nullptr},
    {"CENTER", "div", kBlock, "text-align:center"},
    {"CITE", "cite", kInline | kFormatting, nullptr},
    {"CODE", "code", kInline | kFormatting, nullptr},
    {"COL", nullptr, kVoid, nullptr},
    {"DD", "dd", kDefinition, nullptr},
    {"DEL", "del", kInline | kFormatting, nullptr},
    {"DFN", "dfn", kInline, nullptr},
    {"DIR", "ul", kBlock | kList, nullptr},
    {"DIV", "div", kBlock, nullptr},
    {"DL", "dl", kBlock | kDefinitions, nullptr},
    {"DT", "dt", kDefinition | kPhrasingOnly, nullptr},
    {"EM", "em", kInline | kFormatting, nullptr},
    {"EMBED", nullptr, kVoid, nullptr},
    {"FIGCAPTION", "figcaption", kBlock, nullptr},
    {"FIGURE", "figure", kBlock, nullptr},
    {"FONT", "span", kInline | kFormatting, nullptr},
    {"FOOTER", "footer", kBlock, nullptr},
    {"FRAME", nullptr, kVoid, nullptr},
    {"H1", "h1", kParagraph | kHeading, nullptr},
    {"H2", "h2", kParagraph | kHeading, nullptr},
    {"H3", "h3", kParagraph | kHeading, nullptr},
    {"H4", "h4", kParagraph | kHeading, nullptr},
    {"H5", "h5", kParagraph | kHeading, nullptr},
    {"H6", "h6", kParagraph | kHeading, nullptr},
    {"HEADER", "header", kBlock, nullptr},
    {"HR", "hr", kVoid | kBlock, nullptr},
    {"I", "i", kInline | kFormatting, nullptr},
    {"IMAGE", "img", kVoid | kPicture, nullptr},  // a picture inside an SVG drawing
    {"IMG", "img", kVoid | kPicture, nullptr},
    {"INPUT", nullptr, kVoid, nullptr},
    {"INS", "ins", kInline | kFormatting, nullptr},
    {"KBD", "kbd", kInline | kFormatting, nullptr},
    {"LI", "li", kListItem, nullptr},
    {"LINK", nullptr, kVoid | kHeadOnly, nullptr},
    {"LISTING", "pre", kParagraph, nullptr},
    {"MARK", "mark", kInline | kFormatting, nullptr},
    {"MENU", "ul", kBlock | kList, nullptr},
    {"META", nullptr, kVoid | kHeadOnly, nullptr},
    {"NAV", "nav", kBlock | kNav, nullptr},
    {"NOBR", "span", kInline | kFormatting, "white-space:nowrap"},
    {"OL", "ol", kBlock | kList, nullptr},
    {"P", "p", kParagraph, nullptr},
    {"PARAM", nullptr, kVoid, nullptr},
    {"PRE", "pre", kParagraph, nullptr},
    {"Q", "q", kInline, nullptr},
    {"S", "s", kInline | kFormatting, nullptr},
    {"SAMP", "samp", kInline | kFormatting, nullptr},
    {"SCRIPT", nullptr, kDropped, nullptr},
    {"SECTION", "section", kBlock, nullptr},
    {"SMALL", "small", kInline | kFormatting, nullptr},
    {"SOURCE", nullptr, kVoid, nullptr},
    {"SPAN", "span", kInline | kFormatting, nullptr},
    {"STRIKE", "s", kInline | kFormatting, nullptr},
    {"STRONG", "strong", kInline | kFormatting, nullptr},
    {"STYLE", nullptr, kDropped | kHeadOnly, nullptr},
    {"SUB", "sub", kInline | kFormatting, nullptr},
    {"SUP", "sup", kInline | kFormatting, nullptr},
    {"TABLE", "table", kBlock | kTable, nullptr},
    {"TBODY", "tbody", kRowGroup, nullptr},
    {"TD", "td", kCell, nullptr},
    {"TFOOT", "tfoot", kRowGroup, nullptr},
    {"TH", "th", kCell, nullptr},
    {"THEAD", "thead", kRowGroup, nullptr},
    {"TIME", "time", kInline, nullptr},
    {"TITLE", nullptr, kDropped | kHeadOnly, nullptr},
    {"TR", "tr", kRow, nullptr},
    {"TRACK", nullptr, kVoid, nullptr},
    {"TT", "span", kInline | kFormatting, "font-family:monospace"},
    {"U", "u", kInline | kFormatting, nullptr},
    {"UL", "ul", kBlock | kList, nullptr},
    {"VAR", "var", kInline | kFormatting, nullptr},
    {"WBR", "wbr", kVoid, nullptr},
    {"XMP", "pre", kParagraph, nullptr},
};

struct NamedCharacter {
    const char* name;
    uint32_t code;
};

// The entities of HTML 4 and XML's "apos", sorted by name (byte order).
constexpr NamedCharacter kEntities[] = {
    {"AElig", 0xC6}, {"Aacute", 0xC1}, {"Acirc", 0xC2}, {"Agrave", 0xC0}, {"Alpha", 0x391}, {"Aring", 0xC5},
    {"Atilde", 0xC3}, {"Auml", 0xC4}, {"Beta", 0x392}, {"Ccedil", 0xC7}, {"Chi", 0x3A7}, {"Dagger", 0x2021},
    {"Delta", 0x394}, {"ETH", 0xD0}, {"Eacute", 0xC9}, {"Ecirc", 0xCA}, {"Egrave", 0xC8}, {"Epsilon", 0x395},
    {"Eta", 0x397}, {"Euml", 0xCB}, {"Gamma", 0x393}, {"Iacute", 0xCD}, {"Icirc", 0xCE}, {"Igrave", 0xCC},
    {"Iota", 0x399}, {"Iuml", 0xCF}, {"Kappa", 0x39A}, {"Lambda", 0x39B}, {"Mu", 0x39C}, {"Ntilde", 0xD1},
    {"Nu", 0x39D}, {"OElig", 0x152}, {"Oacute", 0xD3}, {"Ocirc", 0xD4}, {"Ograve", 0xD2}, {"Omega", 0x3A9},
    {"Omicron", 0x39F}, {"Oslash", 0xD8}, {"Otilde", 0xD5}, {"Ouml", 0xD6}, {"Phi", 0x3A6}, {"Pi", 0x3A0},
    {"Prime", 0x2033}, {"Psi", 0x3A8}, {"Rho", 0x3A1}, {"Scaron", 0x160}, {"Sigma", 0x3A3}, {"THORN", 0xDE},
    {"Tau", 0x3A4}, {"Theta", 0x398}, {"Uacute", 0xDA}, {"Ucirc", 0xDB}, {"Ugrave", 0xD9}, {"Upsilon", 0x3A5},
    {"Uuml", 0xDC}, {"Xi", 0x39E}, {"Yacute", 0xDD}, {"Yuml", 0x178}, {"Zeta", 0x396}, {"aacute", 0xE1},
    {"acirc", 0xE2}, {"acute", 0xB4}, {"aelig", 0xE6}, {"agrave", 0xE0}, {"alefsym", 0x2135},
    {"alpha", 0x3B1}, {"amp", 0x26}, {"and", 0x2227}, {"ang", 0x2220}, {"apos", 0x27}, {"aring", 0xE5},
    {"asymp", 0x2248}, {"atilde", 0xE3}, {"auml", 0xE4}, {"bdquo", 0x201E}, {"beta", 0x3B2}, {"brvbar", 0xA6},
    {"bull", 0x2022}, {"cap", 0x2229}, {"ccedil", 0xE7}, {"cedil", 0xB8}, {"cent", 0xA2}, {"chi", 0x3C7},
    {"circ", 0x2C6}, {"clubs", 0x2663}, {"cong", 0x2245}, {"copy", 0xA9}, {"crarr", 0x21B5}, {"cup", 0x222A},
    {"curren", 0xA4}, {"dArr", 0x21D3}, {"dagger", 0x2020}, {"darr", 0x2193}, {"deg", 0xB0}, {"delta", 0x3B4},
    {"diams", 0x2666}, {"divide", 0xF7}, {"eacute", 0xE9}, {"ecirc", 0xEA}, {"egrave", 0xE8},
    {"empty", 0x2205}, {"emsp", 0x2003}, {"ensp", 0x2002}, {"epsilon", 0x3B5}, {"equiv", 0x2261},
    {"eta", 0x3B7}, {"eth", 0xF0}, {"euml", 0xEB}, {"euro", 0x20AC}, {"exist", 0x2203}, {"fnof", 0x192},
    {"forall", 0x2200}, {"frac12", 0xBD}, {"frac14", 0xBC}, {"frac34", 0xBE}, {"frasl", 0x2044},
    {"gamma", 0x3B3}, {"ge", 0x2265}, {"gt", 0x3E}, {"hArr", 0x21D4}, {"harr", 0x2194}, {"hearts", 0x2665},
    {"hellip", 0x2026}, {"iacute", 0xED}, {"icirc", 0xEE}, {"iexcl", 0xA1}, {"igrave", 0xEC},
    {"image", 0x2111}, {"infin", 0x221E}, {"int", 0x222B}, {"iota", 0x3B9}, {"iquest", 0xBF},
    {"isin", 0x2208}, {"iuml", 0xEF}, {"kappa", 0x3BA}, {"lArr", 0x21D0}, {"lambda", 0x3BB}, {"lang", 0x2329},
    {"laquo", 0xAB}, {"larr", 0x2190}, {"lceil", 0x2308}, {"ldquo", 0x201C}, {"le", 0x2264},
    {"lfloor", 0x230A}, {"lowast", 0x2217}, {"loz", 0x25CA}, {"lrm", 0x200E}, {"lsaquo", 0x2039},
    {"lsquo", 0x2018}, {"lt", 0x3C}, {"macr", 0xAF}, {"mdash", 0x2014}, {"micro", 0xB5}, {"middot", 0xB7},
    {"minus", 0x2212}, {"mu", 0x3BC}, {"nabla", 0x2207}, {"nbsp", 0xA0}, {"ndash", 0x2013}, {"ne", 0x2260},
    {"ni", 0x220B}, {"not", 0xAC}, {"notin", 0x2209}, {"nsub", 0x2284}, {"ntilde", 0xF1}, {"nu", 0x3BD},
    {"oacute", 0xF3}, {"ocirc", 0xF4}, {"oelig", 0x153}, {"ograve", 0xF2}, {"oline", 0x203E},
    {"omega", 0x3C9}, {"omicron", 0x3BF}, {"oplus", 0x2295}, {"or", 0x2228}, {"ordf", 0xAA}, {"ordm", 0xBA},
    {"oslash", 0xF8}, {"otilde", 0xF5}, {"otimes", 0x2297}, {"ouml", 0xF6}, {"para", 0xB6}, {"part", 0x2202},
    {"permil", 0x2030}, {"perp", 0x22A5}, {"phi", 0x3C6}, {"pi", 0x3C0}, {"piv", 0x3D6}, {"plusmn", 0xB1},
    {"pound", 0xA3}, {"prime", 0x2032}, {"prod", 0x220F}, {"prop", 0x221D}, {"psi", 0x3C8}, {"quot", 0x22},
    {"rArr", 0x21D2}, {"radic", 0x221A}, {"rang", 0x232A}, {"raquo", 0xBB}, {"rarr", 0x2192},
    {"rceil", 0x2309}, {"rdquo", 0x201D}, {"real", 0x211C}, {"reg", 0xAE}, {"rfloor", 0x230B}, {"rho", 0x3C1},
    {"rlm", 0x200F}, {"rsaquo", 0x203A}, {"rsquo", 0x2019}, {"sbquo", 0x201A}, {"scaron", 0x161},
    {"sdot", 0x22C5}, {"sect", 0xA7}, {"shy", 0xAD}, {"sigma", 0x3C3}, {"sigmaf", 0x3C2}, {"sim", 0x223C},
    {"spades", 0x2660}, {"sub", 0x2282}, {"sube", 0x2286}, {"sum", 0x2211}, {"sup", 0x2283}, {"sup1", 0xB9},
    {"sup2", 0xB2}, {"sup3", 0xB3}, {"supe", 0x2287}, {"szlig", 0xDF}, {"tau", 0x3C4}, {"there4", 0x2234},
    {"theta", 0x3B8}, {"thetasym", 0x3D1}, {"thinsp", 0x2009}, {"thorn", 0xFE}, {"tilde", 0x2DC},
    {"times", 0xD7}, {"trade", 0x2122}, {"uArr", 0x21D1}, {"uacute", 0xFA}, {"uarr", 0x2191}, {"ucirc", 0xFB},
    {"ugrave", 0xF9}, {"uml", 0xA8}, {"upsih", 0x3D2}, {"upsilon", 0x3C5}, {"uuml", 0xFC}, {"weierp", 0x2118},
    {"xi", 0x3BE}, {"yacute", 0xFD}, {"yen", 0xA5}, {"yuml", 0xFF}, {"zeta", 0x3B6}, {"zwj", 0x200D},
    {"zwnj", 0x200C},
};

constexpr bool isSorted(const auto& table) {
    for (size_t i = 1; i < std::size(table); ++i) {
        const char* a = table[i - 1].name;
        const char* b = table[i].name;
        while (*a != '\0' && *a == *b) ++a, ++b;
        if (static_cast<unsigned char>(*a) >= static_cast<unsigned char>(*b)) return false;
    }
    return true;
}
static_assert(isSorted(kElements) && isSorted(kEntities), "the tables are searched by halves");

constexpr int kStackDepth = 256;
// Attributes kept to open a formatting element again.
constexpr int kKeptAttributeBytes = 256;
constexpr int kOutputBytes = 16 * 1024;
constexpr int kIdEntries = 65536;
constexpr int kIdSlots = 2 * kIdEntries;
constexpr int kIdBytes = 1024 * 1024;
constexpr int kAddressBytes = 4096;
// The longest reference or entity read behind an "&".
constexpr int kEntityBytes = 40;
constexpr uint32_t kReplacement = 0xFFFD;

// Ids written into one document, each once.
struct IdSet {
    char bytes[kIdBytes];
    int32_t used = 0;
    int32_t count = 0;
    int32_t slots[kIdSlots];
    int32_t filled[kIdEntries];
    int32_t leftOut = 0;

    IdSet() { std::memset(slots, -1, sizeof slots); }
    void clear();
    // False when the id was there already or the set is full.
    bool insert(const char* id);
};

struct OpenElement {
    const Element* element;
    bool tocNav;
    char attributes[kKeptAttributeBytes];
};

// A label being gathered: heading or link text, the title.
struct Label {
    bool active = false;
    int32_t length = 0;
    char text[kLabelBytes];
    void start();
    void add(const char* bytes, int n);
    // The text with its blanks run together and trimmed.
    const char* finish();
};

}  // namespace

struct XhtmlState {
    FileHandle file = nullptr;
    const XhtmlSettings* settings = nullptr;
    XhtmlContext* context = nullptr;
    ByteSink* sink = nullptr;
    bool utf8 = false;
    bool inBody = false;
    bool ended = false;
    OpenElement stack[kStackDepth];
    int depth = 0;
    int tocNavs = 0;
    int32_t generatedIds = 0;
    IdSet ids;
    Label title;
    Label heading;
    int headingLevel = 0;
    char headingId[kFieldSize] = "";
    Label linkText;
    char linkAddress[kAddressBytes] = "";
    int linkDepth = 0;
    bool linkInToc = false;
    // Formatting elements a block closed, to be opened again inside it.
    int reopenFrom = 0;
    int reopenCount = 0;
    OpenElement reopen[kStackDepth];
    char output[kOutputBytes];
    int outputUsed = 0;
    TagScanner scanner;
    char value[kAddressBytes];
    char address[kAddressBytes];
    char mapped[kAddressBytes];
    char style[kAddressBytes];
    char attributes[kRawTextBytes * 4];

    void write(const char* bytes, size_t n);
    void write(const char* text) { write(text, std::strlen(text)); }
    void flush();
    void writeEscaped(const char* text, bool attribute);
    void writeCharacter(uint32_t code);

    void run();
    void writePrologue();
    void startBody(const TagScanner* body);
    void startTag(const Element* element, bool selfClosing);
    void endTag(const Element* element);
    void text(uint32_t code);
    bool needsContainer() const;
    bool textIsInert() const;
    void picture();
    void pushElement(const Element* element, const char* attributes, bool tocNav);
    void popElement();
    const Element* top() const { return depth > 0 ? stack[depth - 1].element : nullptr; }
    bool prepareFor(const Element* element);
    void fixContainer();
    void openImplicit(const char* name);
    void reopenFormatting();
    void closeAll();
    bool skipTo(const char* endName, Label* keep, bool copy);
    uint32_t readCharacter(int c);
    void gatherLabel(const char* bytes, int n);
    // The element's attributes, written as XHTML into out; the id (its
    // own or, for a heading, a generated one) into id.
    void composeAttributes(const Element* element, char* out, size_t capacity, char* id);
    bool keepId(const char* raw, char* id);
};

namespace {

const Element* elementNamed(const char* name);
void decodeValue(const char* raw, bool utf8, char* out, size_t capacity);
uint32_t decodeUtf8(const uint8_t* bytes, size_t available, int* length);
uint32_t referenceCharacter(const char* name);
bool isXmlCharacter(uint32_t code);
bool isBlankCharacter(uint32_t code);
bool isAsciiLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigits(const char* text);
bool isXmlName(const char* name);
void appendStyle(char* style, size_t capacity, const char* property, const char* value);
// A length in pixels or per cent for a style; false for anything else.
bool cssLength(const char* value, char* out, size_t capacity);
bool cssColor(const char* value);
const char* alignment(const char* value, bool picture);
// Escaped text appended to a field; false when it did not fit.
bool appendEscapedUtf8(char* field, size_t capacity, const char* text);

// Whether an element may stand in an inline context (no block of its own).
bool isInline(const Element* e) {
    return e != nullptr && (e->flags & (kBlock | kListItem | kDefinition | kRow | kCell | kRowGroup |
                                        kCaption)) == 0;
}

}  // namespace

XhtmlConverter::XhtmlConverter() : state_(new (std::nothrow) XhtmlState) {}

XhtmlConverter::~XhtmlConverter() {
    delete state_;
}

bool XhtmlConverter::convert(FileHandle file, const XhtmlSettings& settings, XhtmlContext& context,
                             ByteSink& sink) {
    if (state_ == nullptr) return false;
    XhtmlState& s = *state_;
    s.file = file;
    s.settings = &settings;
    s.context = &context;
    s.sink = &sink;
    s.utf8 = documentIsUtf8(file, true);
    skipByteOrderMark(file);
    s.inBody = false;
    s.ended = false;
    s.depth = 0;
    s.tocNavs = 0;
    s.generatedIds = 0;
    s.ids.clear();
    s.title.start();
    s.heading.active = false;
    s.linkText.active = false;
    s.reopenCount = 0;
    s.outputUsed = 0;
    s.run();
    s.flush();
    return true;
}

bool XhtmlConverter::convertText(FileHandle file, const XhtmlSettings& settings, ByteSink& sink) {
    if (state_ == nullptr) return false;
    XhtmlState& s = *state_;
    s.file = file;
    s.settings = &settings;
    s.sink = &sink;
    s.outputUsed = 0;
    s.utf8 = documentIsUtf8(file, false);
    skipByteOrderMark(file);
    s.title.start();
    s.inBody = false;
    s.depth = 0;
    s.writePrologue();
    s.startBody(nullptr);
    // Lines and blanks as the author set them, wrapped by the reader.
    s.write("<div style=\"white-space:pre-wrap\">");
    for (int c = readChar(file); c != -1; c = readChar(file)) s.writeCharacter(s.readCharacter(c));
    s.write("</div>\n</body>\n</html>\n");
    s.flush();
    return true;
}

int32_t XhtmlConverter::idsLeftOut() const {
    return state_ != nullptr ? state_->ids.leftOut : 0;
}

bool documentIsUtf8(FileHandle file, bool markup) {
    setFilePosition(file, 0);
    bool utf8 = skipByteOrderMark(file);
    bool declared = utf8;
    if (!utf8 && markup) {
        // A declaration before the body decides, whatever it names.
        TagScanner* scanner = new (std::nothrow) TagScanner;
        while (scanner != nullptr && !declared && scanner->nextTag(file) != -1 && !scanner->isTag("BODY")) {
            utf8 = declaresUtf8(*scanner);
            declared = declaresCharset(*scanner);
        }
        delete scanner;
        setFilePosition(file, 0);
    }
    // Without one, bytes that are UTF-8 and nothing else are read as such.
    if (!declared) utf8 = isUtf8File(file);
    setFilePosition(file, 0);
    return utf8;
}

void decodeMarkupText(const char* raw, bool utf8, char* out, size_t capacity) {
    decodeValue(raw, utf8, out, capacity);
}

bool isWellFormedLanguage(const char* tag) {
    size_t length = 0;
    const char* p = tag;
    for (; isAsciiLetter(*p); ++p) ++length;
    if (length < 2 || length > 8) return false;
    while (*p == '-') {
        ++p;
        size_t sub = 0;
        for (; isAsciiLetter(*p) || (*p >= '0' && *p <= '9'); ++p) ++sub;
        if (sub < 1 || sub > 8) return false;
    }
    return *p == '\0';
}

void cleanId(const char* raw, char* out, size_t capacity) {
    copyText(out, capacity, raw);
    for (char* p = out; *p != '\0'; ++p)
        if (isMarkupBlank(*p) || *p == '\f') *p = '_';
}

uint32_t htmlEntityCharacter(const char* name) {
    if (name[0] == '#') return referenceCharacter(name);
    size_t low = 0, high = std::size(kEntities);
    while (low < high) {
        size_t middle = (low + high) / 2;
        int order = std::strcmp(name, kEntities[middle].name);
        if (order == 0) return kEntities[middle].code;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return 0;
}

void XhtmlState::run() {
    writePrologue();
    for (int c = readChar(file); c != -1 && !ended; c = readChar(file)) {
        if (c != '<') {
            // A UTF-8 sequence or an entity holds no "<": its bytes can be
            // passed over one by one.
            if (!textIsInert()) text(readCharacter(c));
            continue;
        }
        uint32_t behindBracket = getFilePosition(file);
        // As browsers read it, a "<" opens a tag only before a name, an end
        // tag's "/", a comment or a declaration; otherwise it is text.
        int next = readChar(file);
        bool opens = next == '!' || next == '?' || isAsciiLetter(next) || (next == '/' && isAsciiLetter(readChar(file)));
        setFilePosition(file, behindBracket);
        if (!opens) {
            text('<');
            continue;
        }
        if (scanner.readTag(file) == -1) {
            // No tag here: the "<" is text and the rest follows.
            setFilePosition(file, behindBracket);
            text('<');
            continue;
        }
        const char* name = scanner.tagName;
        if (name[0] == '!' || name[0] == '?') continue;  // comments, declarations
        bool closing = name[0] == '/';
        char bare[kFieldSize];
        copyText(bare, closing ? name + 1 : name);
        size_t length = std::strlen(bare);
        bool selfClosing = length > 0 && bare[length - 1] == '/';
        if (selfClosing) bare[--length] = '\0';
        size_t raw = std::strlen(scanner.rawText);
        if (raw >= 2 && scanner.rawText[raw - 2] == '/') selfClosing = true;
        const Element* element = elementNamed(bare);
        if (closing) {
            if (std::strcmp(bare, "BODY") == 0 || std::strcmp(bare, "HTML") == 0) {
                if (inBody) ended = true;
                continue;
            }
            if (inBody) endTag(element);
            continue;
        }
        if (std::strcmp(bare, "HTML") == 0 || std::strcmp(bare, "HEAD") == 0) continue;
        if (std::strcmp(bare, "BODY") == 0) {
            if (!inBody) startBody(&scanner);
            continue;
        }
        startTag(element, selfClosing);
    }
    if (!inBody) startBody(nullptr);
    closeAll();
    write("</body>\n</html>\n");
}

void XhtmlState::writePrologue() {
    write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
          "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"");
    writeEscaped(settings->language, true);
    write("\" lang=\"");
    writeEscaped(settings->language, true);
    write("\">\n<head>\n");
}

void XhtmlState::startBody(const TagScanner* body) {
    if (inBody) return;
    write("<title>");
    const char* label = title.finish();
    writeEscaped(label[0] != '\0' ? label : settings->title, false);
    write("</title>\n</head>\n<body");
    if (body != nullptr) {
        char id[kFieldSize];
        composeAttributes(nullptr, attributes, sizeof attributes, id);
        if (id[0] != '\0') {
            write(" id=\"");
            writeEscaped(id, true);
            write("\"");
        }
        write(attributes);
    }
    write(">\n");
    inBody = true;
}

void XhtmlState::startTag(const Element* element, bool selfClosing) {
    if (!inBody) {
        if (element != nullptr && std::strcmp(element->name, "TITLE") == 0) {
            skipTo("TITLE", &title, false);
            return;
        }
        if (element != nullptr && std::strcmp(element->name, "STYLE") == 0) {
            write("<style type=\"text/css\">");
            skipTo("STYLE", nullptr, true);
            write("</style>\n");
            return;
        }
        if (element != nullptr && std::strcmp(element->name, "LINK") == 0) {
            char rel[kFieldSize];
            scanner.getAttribute("REL", rel);
            toUpperInPlace(rel);
            if (std::strstr(rel, "STYLESHEET") == nullptr || std::strstr(rel, "ALTERNATE") != nullptr) return;
            if (!scanner.getAttribute("HREF", value)) return;
            decodeValue(value, utf8, address, sizeof address);
            if (!context->mapAddress(XhtmlAddress::styleSheet, address, mapped, sizeof mapped)) return;
            write("<link rel=\"stylesheet\" type=\"text/css\" href=\"");
            writeEscaped(mapped, true);
            write("\"/>\n");
            return;
        }
        if (element != nullptr && (element->flags & kHeadOnly) != 0) return;
        if (element != nullptr && std::strcmp(element->name, "SCRIPT") == 0) {
            skipTo("SCRIPT", nullptr, false);
            return;
        }
        // What the head holds besides: only a known element starts the body.
        if (element == nullptr) return;
        startBody(nullptr);
    }
    if (element == nullptr) return;  // unknown: its content stands in its place
    if ((element->flags & kDropped) != 0) {
        if (!selfClosing) skipTo(element->name, nullptr, false);
        return;
    }
    if ((element->flags & kPicture) != 0) {
        picture();
        return;
    }
    if (element->written == nullptr) return;
    if (!prepareFor(element)) return;
    char id[kFieldSize];
    composeAttributes(element, attributes, sizeof attributes, id);
    bool tocNav = false;
    if ((element->flags & kNav) != 0) {
        char type[kFieldSize];
        if (scanner.getAttribute("EPUB:TYPE", type)) {
            toUpperInPlace(type);
            tocNav = std::strstr(type, "TOC") != nullptr;
        }
    }
    write("<");
    write(element->written);
    if (id[0] != '\0') {
        write(" id=\"");
        writeEscaped(id, true);
        write("\"");
    }
    write(attributes);
    if ((element->flags & kVoid) != 0) {
        write("/>");
        return;
    }
    write(">");
    if ((element->flags & kHeading) != 0 && heading.active == false) {
        heading.start();
        headingLevel = element->name[1] - '0';
        copyText(headingId, id);
    }
    if ((element->flags & kLink) != 0 && !linkText.active && scanner.getAttribute("HREF", value)) {
        decodeValue(value, utf8, linkAddress, sizeof linkAddress);
        linkText.start();
        linkDepth = 0;
        for (int i = 0; i < depth; ++i)
            if ((stack[i].element->flags & kList) != 0) ++linkDepth;
        linkInToc = tocNavs > 0;
    }
    pushElement(element, attributes, tocNav);
    // Inside a list or a table the formatting waits for the item or cell.
    if ((element->flags & (kList | kDefinitions | kTable | kRowGroup | kRow)) == 0) reopenFormatting();
    if (selfClosing) endTag(element);
}

void XhtmlState::endTag(const Element* element) {
    if (element == nullptr || element->written == nullptr || (element->flags & kVoid) != 0) return;
    bool isHeading = (element->flags & kHeading) != 0;
    bool tablepart = (element->flags & (kTable | kRowGroup | kRow | kCell | kCaption)) != 0;
    for (int i = depth - 1; i >= 0; --i) {
        const Element* open = stack[i].element;
        if (open == element || (isHeading && (open->flags & kHeading) != 0)) {
            while (depth > i) popElement();
            return;
        }
        // An end tag does not reach out of a table cell or a table.
        if (!tablepart && (open->flags & (kCell | kCaption | kTable)) != 0) return;
        if ((element->flags & kTable) == 0 && (open->flags & kTable) != 0) return;
    }
}

void XhtmlState::text(uint32_t code) {
    if (!inBody) {
        if (isBlankCharacter(code)) return;
        startBody(nullptr);
    }
    if (!isBlankCharacter(code) && (reopenCount > 0 || needsContainer())) {
        fixContainer();
        reopenFormatting();
    }
    writeCharacter(code);
}

bool XhtmlState::needsContainer() const {
    return depth > 0 && (stack[depth - 1].element->flags & (kList | kDefinitions | kTable | kRowGroup | kRow)) != 0;
}

// Whether text changes nothing but the output: a pass that writes nothing
// passes over it.
bool XhtmlState::textIsInert() const {
    return settings->quiet && inBody && !heading.active && !linkText.active && reopenCount == 0 && !needsContainer();
}

void XhtmlState::picture() {
    char alt[kAddressBytes] = "";
    if (scanner.getAttribute("ALT", value)) decodeValue(value, utf8, alt, sizeof alt);
    bool shown = scanner.getAttribute("SRC", value) || scanner.getAttribute("XLINK:HREF", value) ||
                 scanner.getAttribute("HREF", value);
    if (shown) {
        decodeValue(value, utf8, address, sizeof address);
        shown = address[0] != '\0' && context->mapAddress(XhtmlAddress::picture, address, mapped, sizeof mapped);
    }
    fixContainer();
    reopenFormatting();
    gatherLabel(alt, static_cast<int>(std::strlen(alt)));
    if (!shown) {
        // The text alternative stands where the picture would.
        writeEscaped(alt, false);
        return;
    }
    char id[kFieldSize];
    composeAttributes(elementNamed("IMG"), attributes, sizeof attributes, id);
    write("<img");
    if (id[0] != '\0') {
        write(" id=\"");
        writeEscaped(id, true);
        write("\"");
    }
    write(" src=\"");
    writeEscaped(mapped, true);
    write("\" alt=\"");
    writeEscaped(alt, true);
    write("\"");
    write(attributes);
    write("/>");
}

void XhtmlState::pushElement(const Element* element, const char* kept, bool tocNav) {
    if (depth == kStackDepth) {
        // Deeper than any sane document: closed at once, its content
        // following it.
        write("</");
        write(element->written);
        write(">");
        return;
    }
    OpenElement& open = stack[depth++];
    open.element = element;
    open.tocNav = tocNav;
    if (tocNav) ++tocNavs;
    if (!copyText(open.attributes, kept)) open.attributes[0] = '\0';
}

void XhtmlState::popElement() {
    OpenElement& open = stack[--depth];
    write("</");
    write(open.element->written);
    write(">");
    if (open.tocNav) --tocNavs;
    if ((open.element->flags & kHeading) != 0 && heading.active) {
        const char* label = heading.finish();
        if (label[0] != '\0') context->noteHeading(headingLevel, headingId, label);
    }
    if ((open.element->flags & kLink) != 0 && linkText.active)
        context->noteLink(linkAddress, linkText.finish(), linkDepth, linkInToc);
}

// Closes what cannot hold the element and opens what must hold it. False
// when the element has no place here (a row outside any table).
bool XhtmlState::prepareFor(const Element* element) {
    uint32_t flags = element->flags;
    if ((flags & (kRow | kCell | kRowGroup | kCaption)) != 0) {
        uint32_t wanted = (flags & kCell) != 0 ? (kRow | kRowGroup | kTable)
                          : (flags & kRow) != 0 ? (kRowGroup | kTable)
                                                : kTable;
        int at = depth - 1;
        while (at >= 0 && (stack[at].element->flags & wanted) == 0) --at;
        if (at < 0) return false;
        while (depth > at + 1) popElement();
        if ((flags & kCell) != 0 && (top()->flags & kRow) == 0) openImplicit("TR");
        return true;
    }
    if ((flags & (kListItem | kDefinition)) != 0) {
        uint32_t holder = (flags & kListItem) != 0 ? kList : kDefinitions;
        uint32_t sibling = (flags & kListItem) != 0 ? kListItem : kDefinition;
        // Through open paragraphs, divisions and inline elements to the item
        // this one ends, or to its list.
        for (int i = depth - 1; i >= 0; --i) {
            const Element* open = stack[i].element;
            if ((open->flags & holder) != 0) break;
            if ((open->flags & sibling) != 0) {
                while (depth > i) popElement();
                break;
            }
            bool passable = isInline(open) || std::strcmp(open->name, "P") == 0 || std::strcmp(open->name, "DIV") == 0;
            if (!passable) break;
        }
        if (top() == nullptr || (top()->flags & holder) == 0) {
            const char* listName = (flags & kListItem) != 0 ? "UL" : "DL";
            if (!prepareFor(elementNamed(listName))) return false;
            openImplicit(listName);
        }
        return true;
    }
    if ((flags & kLink) != 0) {
        // Links do not nest: a new one ends the open one.
        for (int i = depth - 1; i >= 0 && isInline(stack[i].element); --i) {
            if ((stack[i].element->flags & kLink) != 0) {
                while (depth > i) popElement();
                break;
            }
        }
    }
    if (isInline(element)) {
        fixContainer();
        reopenFormatting();
        return true;
    }
    // A block ends the paragraph and the inline elements around it; the
    // formatting among them goes on inside it, innermost kept first.
    reopenCount = 0;
    while (depth > 0 && (top()->flags & kPhrasingOnly) != 0) {
        if ((top()->flags & kFormatting) != 0) reopen[reopenCount++] = stack[depth - 1];
        popElement();
    }
    fixContainer();
    return true;
}

// Text and elements inside a list, a definition list or a table go into
// an item, a definition or a cell.
void XhtmlState::fixContainer() {
    const Element* holder = top();
    if (holder == nullptr) return;
    if ((holder->flags & kList) != 0) {
        openImplicit("LI");
    } else if ((holder->flags & kDefinitions) != 0) {
        openImplicit("DD");
    } else if ((holder->flags & (kTable | kRowGroup)) != 0) {
        openImplicit("TR");
        openImplicit("TD");
    } else if ((holder->flags & kRow) != 0) {
        openImplicit("TD");
    }
}

void XhtmlState::openImplicit(const char* name) {
    const Element* element = elementNamed(name);
    write("<");
    write(element->written);
    write(">");
    pushElement(element, "", false);
}

void XhtmlState::reopenFormatting() {
    int count = reopenCount;
    reopenCount = 0;
    for (int i = count - 1; i >= 0; --i) {
        const OpenElement& again = reopen[i];
        write("<");
        write(again.element->written);
        write(again.attributes);
        write(">");
        pushElement(again.element, again.attributes, false);
    }
}

void XhtmlState::closeAll() {
    while (depth > 0) popElement();
}

// Reads past the end tag of a raw-text element; its text goes into the
// label, or (for a style sheet in the head) into the document.
bool XhtmlState::skipTo(const char* endName, Label* keep, bool copy) {
    size_t nameLength = std::strlen(endName);
    for (int c = readChar(file); c != -1; c = readChar(file)) {
        if (c == '<') {
            uint32_t behind = getFilePosition(file);
            bool match = readChar(file) == '/';
            for (size_t i = 0; match && i < nameLength; ++i) match = upperAscii(char(readChar(file))) == endName[i];
            if (match) {
                int after = readChar(file);
                if (after == '>' || isMarkupBlank(after)) {
                    while (after != '>' && after != -1) after = readChar(file);
                    return true;
                }
            }
            setFilePosition(file, behind);
        }
        uint32_t code = readCharacter(c);
        if (keep != nullptr && isXmlCharacter(code)) {
            char bytes[4];
            keep->add(bytes, encodeUtf8(code, bytes));
        } else if (copy) {
            writeCharacter(code);
        }
    }
    return false;
}

// The character that starts with byte c: an entity or reference, a UTF-8
// sequence, or a Windows-1252 byte. Line ends become line feeds.
uint32_t XhtmlState::readCharacter(int c) {
    if (c == '\r') {
        int next = readChar(file);
        if (next != '\n' && next != -1) unreadChar(file);
        return '\n';
    }
    if (c == '&') {
        uint32_t start = getFilePosition(file);
        char name[kEntityBytes + 1];
        int length = 0;
        int next = readChar(file);
        while (next != -1 && next != ';' && length < kEntityBytes &&
               ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || (next >= '0' && next <= '9') ||
                (next == '#' && length == 0))) {
            name[length++] = static_cast<char>(next);
            next = readChar(file);
        }
        name[length] = '\0';
        uint32_t code = next == ';' && length > 0 ? htmlEntityCharacter(name) : 0;
        if (code != 0) return code;
        setFilePosition(file, start);
        return '&';
    }
    if (c >= 0x80 && utf8) {
        uint8_t bytes[4] = {static_cast<uint8_t>(c)};
        uint32_t start = getFilePosition(file);
        int available = 1;
        while (available < 4) {
            int next = readChar(file);
            if (next == -1) break;
            bytes[available++] = static_cast<uint8_t>(next);
        }
        int length = 0;
        uint32_t code = decodeUtf8(bytes, size_t(available), &length);
        setFilePosition(file, start + uint32_t(length - 1));
        return code;
    }
    return unicodeOfAnsi(static_cast<uint8_t>(c));
}

void XhtmlState::gatherLabel(const char* bytes, int n) {
    if (heading.active) heading.add(bytes, n);
    if (linkText.active) linkText.add(bytes, n);
}

void XhtmlState::composeAttributes(const Element* element, char* out, size_t capacity, char* id) {
    out[0] = '\0';
    id[0] = '\0';
    style[0] = '\0';
    const char* name = element != nullptr ? element->name : "BODY";
    auto is = [&](const char* wanted) { return std::strcmp(name, wanted) == 0; };
    bool cell = is("TD") || is("TH");
    bool aligned = cell || is("TR") || is("P") || is("DIV") || is("CAPTION") || (name[0] == 'H' && name[2] == '\0');
    if (element != nullptr && element->style != nullptr) appendStyle(style, sizeof style, element->style, "");
    char ownStyle[kAddressBytes] = "";
    char decoded[kAddressBytes];
    char written[64][32];  // attribute names already written
    int writtenCount = 0;
    auto add = [&](const char* attribute, const char* text) {
        for (int i = 0; i < writtenCount; ++i)
            if (std::strcmp(written[i], attribute) == 0) return;
        if (writtenCount < 64 && std::strlen(attribute) < 32) copyText(written[writtenCount++], attribute);
        char piece[kAddressBytes * 2];
        piece[0] = ' ';
        piece[1] = '\0';
        appendText(piece, attribute);
        appendText(piece, "=\"");
        bool whole = appendEscapedUtf8(piece, sizeof piece, text) && appendText(piece, "\"");
        if (whole) appendText(out, capacity, piece);
    };
    const char* next = scanner.attributeText;
    for (int32_t i = 0; i < scanner.attrCount; ++i) {
        const char* attribute = next;
        const char* value = attribute + std::strlen(attribute) + 1;
        next = value + std::strlen(value) + 1;
        decodeValue(value, utf8, decoded, sizeof decoded);
        char lower[kFieldSize];
        copyText(lower, attribute);
        for (char* p = lower; *p != '\0'; ++p)
            if (*p >= 'A' && *p <= 'Z') *p = char(*p - 'A' + 'a');
        auto named = [&](const char* wanted) { return std::strcmp(attribute, wanted) == 0; };
        if (named("ID") || (named("NAME") && is("A"))) {
            if (id[0] == '\0') keepId(decoded, id);
        } else if (named("CLASS") || named("TITLE") || named("EPUB:TYPE")) {
            if (decoded[0] != '\0') add(lower, decoded);
        } else if (named("LANG") || named("XML:LANG")) {
            if (isWellFormedLanguage(decoded)) add("lang", decoded);
        } else if (named("DIR")) {
            if (equalsNoCase(decoded, "ltr") || equalsNoCase(decoded, "rtl")) add("dir", decoded);
        } else if (named("STYLE")) {
            copyText(ownStyle, decoded);
        } else if (std::strncmp(attribute, "DATA-", 5) == 0 && isXmlName(lower)) {
            add(lower, decoded);
        } else if (named("HREF") && is("A")) {
            if (context->mapAddress(XhtmlAddress::link, decoded, mapped, sizeof mapped)) add("href", mapped);
        } else if ((named("WIDTH") || named("HEIGHT")) && is("IMG")) {
            char length[64];
            if (isDigits(decoded))
                add(lower, decoded);
            else if (cssLength(decoded, length, sizeof length))
                appendStyle(style, sizeof style, lower, length);
        } else if ((named("WIDTH") || named("HEIGHT")) && (cell || is("TABLE"))) {
            char length[64];
            if (cssLength(decoded, length, sizeof length)) appendStyle(style, sizeof style, lower, length);
        } else if (named("ALIGN") && is("IMG")) {
            const char* a = alignment(decoded, true);
            if (a != nullptr) appendStyle(style, sizeof style, a[0] == 'l' || a[0] == 'r' ? "float" : "vertical-align", a);
        } else if (named("ALIGN") && aligned) {
            const char* a = alignment(decoded, false);
            if (a != nullptr) appendStyle(style, sizeof style, "text-align", a);
        } else if (named("VALIGN") && (cell || is("TR"))) {
            const char* a = alignment(decoded, true);
            if (a != nullptr && a[0] != 'l' && a[0] != 'r') appendStyle(style, sizeof style, "vertical-align", a);
        } else if (named("BGCOLOR") && (cell || is("TR") || is("TABLE"))) {
            if (cssColor(decoded)) appendStyle(style, sizeof style, "background-color", decoded);
        } else if (named("COLOR") && is("FONT")) {
            if (cssColor(decoded)) appendStyle(style, sizeof style, "color", decoded);
        } else if (named("FACE") && is("FONT")) {
            if (std::strpbrk(decoded, "\"';{}<>\\") == nullptr && decoded[0] != '\0')
                appendStyle(style, sizeof style, "font-family", decoded);
        } else if (named("NOWRAP") && cell) {
            appendStyle(style, sizeof style, "white-space", "nowrap");
        } else if (named("BORDER") && is("TABLE")) {
            if (decoded[0] == '\0' || (isDigits(decoded) && std::atoi(decoded) > 0)) add("border", "1");
        } else if ((named("COLSPAN") || named("ROWSPAN")) && cell) {
            if (isDigits(decoded) && std::atoi(decoded) > 0 && std::strlen(decoded) < 5) add(lower, decoded);
        } else if (named("SCOPE") && is("TH")) {
            if (equalsNoCase(decoded, "row") || equalsNoCase(decoded, "col") || equalsNoCase(decoded, "rowgroup") ||
                equalsNoCase(decoded, "colgroup"))
                add("scope", decoded);
        } else if (named("START") && is("OL")) {
            if (isDigits(decoded[0] == '-' ? decoded + 1 : decoded) && std::strlen(decoded) < 9) add("start", decoded);
        } else if (named("TYPE") && is("OL")) {
            if (std::strlen(decoded) == 1 && std::strchr("1aAiI", decoded[0]) != nullptr) add("type", decoded);
        } else if (named("VALUE") && is("LI")) {
            bool inOrdered = depth > 0 && std::strcmp(stack[depth - 1].element->name, "OL") == 0;
            if (inOrdered && isDigits(decoded[0] == '-' ? decoded + 1 : decoded) && std::strlen(decoded) < 9)
                add("value", decoded);
        }
        // Anything else, the reader's positions and record numbers among
        // it, has no place in XHTML.
    }
    if (element != nullptr && (element->flags & kHeading) != 0 && id[0] == '\0') {
        // Every heading can be reached from the navigation.
        char generated[kFieldSize];
        for (int attempt = 0; attempt < 100 && id[0] == '\0'; ++attempt) {
            std::snprintf(generated, sizeof generated, "qb-heading-%d", static_cast<int>(++generatedIds));
            keepId(generated, id);
        }
    }
    if (ownStyle[0] != '\0' || style[0] != '\0') {
        char merged[kAddressBytes];
        copyText(merged, style);
        if (ownStyle[0] != '\0') {
            if (merged[0] != '\0') appendText(merged, ";");
            appendText(merged, ownStyle);
        }
        add("style", merged);
    }
}

bool XhtmlState::keepId(const char* raw, char* id) {
    char clean[kFieldSize];
    cleanId(raw, clean, sizeof clean);
    if (clean[0] == '\0' || !ids.insert(clean)) return false;
    copyText(id, kFieldSize, clean);
    context->noteId(clean);
    return true;
}

void XhtmlState::write(const char* bytes, size_t n) {
    if (settings->quiet) return;
    if (outputUsed + n > sizeof output) {
        flush();
        if (n > sizeof output) {
            sink->put(bytes, n);
            return;
        }
    }
    std::memcpy(output + outputUsed, bytes, n);
    outputUsed += static_cast<int>(n);
}

void XhtmlState::flush() {
    if (outputUsed > 0 && !settings->quiet) sink->put(output, size_t(outputUsed));
    outputUsed = 0;
}

void XhtmlState::writeEscaped(const char* text, bool attribute) {
    const char* run = text;
    for (const char* p = text;; ++p) {
        const char* entity = nullptr;
        switch (*p) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = attribute ? "&quot;" : nullptr; break;
            default: break;
        }
        if (entity == nullptr && *p != '\0') continue;
        write(run, size_t(p - run));
        if (*p == '\0') return;
        write(entity);
        run = p + 1;
    }
}

void XhtmlState::writeCharacter(uint32_t code) {
    bool plainAscii = code >= 0x20 && code < 0x80 && code != '&' && code != '<' && code != '>';
    if (plainAscii && outputUsed < kOutputBytes && !settings->quiet) {
        // Most of a book: one byte, straight into the buffer.
        output[outputUsed++] = static_cast<char>(code);
    } else {
        if (!isXmlCharacter(code)) return;
        char bytes[8];
        int n;
        switch (code) {
            case '&': std::memcpy(bytes, "&amp;", n = 5); break;
            case '<': std::memcpy(bytes, "&lt;", n = 4); break;
            case '>': std::memcpy(bytes, "&gt;", n = 4); break;
            default: n = encodeUtf8(code, bytes); break;
        }
        write(bytes, size_t(n));
    }
    if (heading.active || linkText.active) {
        char plain[4];
        gatherLabel(plain, encodeUtf8(code, plain));
    }
}

namespace {

void IdSet::clear() {
    for (int32_t i = 0; i < count; ++i) slots[filled[i]] = -1;
    used = 0;
    count = 0;
    leftOut = 0;
}

bool IdSet::insert(const char* id) {
    uint32_t hash = 2166136261u;
    for (const char* p = id; *p != '\0'; ++p) hash = (hash ^ static_cast<uint8_t>(*p)) * 16777619u;
    uint32_t slot = hash & (kIdSlots - 1);
    while (slots[slot] >= 0) {
        if (std::strcmp(bytes + slots[slot], id) == 0) return false;
        slot = (slot + 1) & (kIdSlots - 1);
    }
    int32_t length = static_cast<int32_t>(std::strlen(id)) + 1;
    if (count >= kIdEntries - 1 || used + length > kIdBytes) {
        ++leftOut;
        return false;
    }
    std::memcpy(bytes + used, id, size_t(length));
    slots[slot] = used;
    filled[count++] = static_cast<int32_t>(slot);
    used += length;
    return true;
}

void Label::start() {
    active = true;
    length = 0;
    text[0] = '\0';
}

void Label::add(const char* bytes, int n) {
    if (!active) return;
    // A label cut short keeps whole characters only.
    if (length + n >= kLabelBytes) return;
    std::memcpy(text + length, bytes, size_t(n));
    length += n;
    text[length] = '\0';
}

const char* Label::finish() {
    active = false;
    int out = 0;
    bool blank = true;
    for (int i = 0; i < length; ++i) {
        char c = text[i];
        bool isBlank = c == ' ' || c == '\n' || c == '\t';
        if (isBlank) {
            if (!blank) text[out++] = ' ';
            blank = true;
        } else {
            text[out++] = c;
            blank = false;
        }
    }
    if (out > 0 && text[out - 1] == ' ') --out;
    text[out] = '\0';
    length = 0;
    return text;
}

const Element* elementNamed(const char* name) {
    size_t low = 0, high = std::size(kElements);
    while (low < high) {
        size_t middle = (low + high) / 2;
        int order = std::strcmp(name, kElements[middle].name);
        if (order == 0) return &kElements[middle];
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return nullptr;
}

void decodeValue(const char* raw, bool utf8, char* out, size_t capacity) {
    size_t used = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(raw);
    while (*p != 0) {
        uint32_t code;
        int length = 1;
        if (*p == '&') {
            char name[kEntityBytes + 1];
            int n = 0;
            while (n < kEntityBytes && p[1 + n] != 0 && p[1 + n] != ';' && p[1 + n] != '&') {
                name[n] = static_cast<char>(p[1 + n]);
                ++n;
            }
            name[n] = '\0';
            code = p[1 + n] == ';' && n > 0 ? htmlEntityCharacter(name) : 0;
            if (code != 0)
                length = n + 2;
            else
                code = '&';
        } else if (*p >= 0x80 && utf8) {
            code = decodeUtf8(p, std::strlen(reinterpret_cast<const char*>(p)), &length);
        } else {
            code = unicodeOfAnsi(*p);
        }
        p += length;
        if (code == '\t' || code == '\n' || code == '\r') code = ' ';
        if (!isXmlCharacter(code)) continue;
        char bytes[4];
        int n = encodeUtf8(code, bytes);
        if (used + size_t(n) >= capacity) break;
        std::memcpy(out + used, bytes, size_t(n));
        used += size_t(n);
    }
    out[used] = '\0';
}

// One character from UTF-8 bytes; a byte that starts no valid sequence
// is read as Windows-1252, alone.
uint32_t decodeUtf8(const uint8_t* bytes, size_t available, int* length) {
    uint8_t lead = bytes[0];
    *length = 1;
    int needed = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint8_t low = 0x80, high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    if (needed == 0 || lead < 0xC2 || lead > 0xF4 || available < size_t(needed) + 1) return unicodeOfAnsi(lead);
    uint32_t code = lead & (0x3F >> needed);
    for (int i = 1; i <= needed; ++i) {
        uint8_t next = bytes[i];
        if (i == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) return unicodeOfAnsi(lead);
        code = (code << 6) | (next & 0x3F);
    }
    *length = needed + 1;
    return code;
}

uint32_t referenceCharacter(const char* name) {
    bool hex = name[1] == 'x' || name[1] == 'X';
    const char* digits = name + (hex ? 2 : 1);
    if (*digits == '\0') return 0;
    uint32_t code = 0;
    for (const char* p = digits; *p != '\0'; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (hex && upperAscii(*p) >= 'A' && upperAscii(*p) <= 'F')
            digit = upperAscii(*p) - 'A' + 10;
        else
            return 0;
        code = code * (hex ? 16 : 10) + uint32_t(digit);
        if (code > 0x10FFFF) return kReplacement;
    }
    // As every browser reads them: 128 to 159 name Windows-1252's characters.
    if (code >= 0x80 && code <= 0x9F) return unicodeOfAnsi(static_cast<uint8_t>(code));
    return isXmlCharacter(code) ? code : kReplacement;
}

bool isXmlCharacter(uint32_t code) {
    if (code < 0x20) return code == '\t' || code == '\n';
    if (code >= 0xD800 && code <= 0xDFFF) return false;
    return code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

bool isBlankCharacter(uint32_t code) {
    return code == ' ' || code == '\t' || code == '\n';
}

bool isDigits(const char* text) {
    if (*text == '\0') return false;
    for (; *text != '\0'; ++text)
        if (*text < '0' || *text > '9') return false;
    return true;
}

bool isXmlName(const char* name) {
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!letter(name[0])) return false;
    for (const char* p = name; *p != '\0'; ++p)
        if (!letter(*p) && !(*p >= '0' && *p <= '9') && *p != '-' && *p != '.') return false;
    return true;
}

void appendStyle(char* style, size_t capacity, const char* property, const char* value) {
    if (style[0] != '\0') appendText(style, capacity, ";");
    appendText(style, capacity, property);
    if (value[0] != '\0') {
        appendText(style, capacity, ":");
        appendText(style, capacity, value);
    }
}

bool cssLength(const char* value, char* out, size_t capacity) {
    char number[32];
    size_t length = std::strlen(value);
    bool percent = length > 0 && value[length - 1] == '%';
    if (length == 0 || length >= sizeof number) return false;
    copyText(number, value);
    if (percent) number[length - 1] = '\0';
    if (!isDigits(number)) return false;
    copyText(out, capacity, number);
    appendText(out, capacity, percent ? "%" : "px");
    return true;
}

bool cssColor(const char* value) {
    const char* p = value[0] == '#' ? value + 1 : value;
    if (*p == '\0') return false;
    bool hex = value[0] == '#';
    size_t n = 0;
    for (; *p != '\0'; ++p, ++n) {
        char c = upperAscii(*p);
        bool ok = hex ? ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) : (c >= 'A' && c <= 'Z');
        if (!ok) return false;
    }
    return !hex || n == 3 || n == 6;
}

const char* alignment(const char* value, bool picture) {
    static constexpr const char* kText[] = {"left", "right", "center", "justify"};
    static constexpr const char* kPicture[] = {"left", "right", "top", "middle", "bottom", "baseline"};
    if (picture) {
        for (const char* a : kPicture)
            if (equalsNoCase(value, a)) return a;
        return nullptr;
    }
    for (const char* a : kText)
        if (equalsNoCase(value, a)) return a;
    if (equalsNoCase(value, "middle")) return "center";
    return nullptr;
}

bool appendEscapedUtf8(char* field, size_t capacity, const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        char piece[8] = {*p, '\0'};
        switch (*p) {
            case '&': copyText(piece, "&amp;"); break;
            case '<': copyText(piece, "&lt;"); break;
            case '>': copyText(piece, "&gt;"); break;
            case '"': copyText(piece, "&quot;"); break;
            default: break;
        }
        if (!appendText(field, capacity, piece)) return false;
    }
    return true;
}

}  // namespace
