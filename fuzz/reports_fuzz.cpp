// The reports of any observation file after "Вычислить": the command-line
// text report, its JSON and the HTML of "Сохранить отчёт…". Each is bounded
// by a multiple of its input (one long cell must not widen every row), the
// JSON parses and is UTF-8, and the HTML's tags are all the report's own.
//
// Input: byte 0 holds flags (bit 0: '.' as the separator, else ','); the rest
// is the file, read as cobb-douglas-cli reads one.

#include "cli/text_report.h"
#include "fuzz/fuzz_check.h"
#include "model/estimation.h"
#include "model/observation_file.h"
#include "model/report.h"
#include "model/text_encoding.h"
#include "model/workbook.h"

#include <cctype>
#include <cstdint>
#include <exception>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A strict JSON reader that only checks the grammar.
class JsonChecker {
public:
    explicit JsonChecker(std::string_view text) : m_text(text) {}

    bool valid() { return value() && (skipSpaces(), m_at == m_text.size()); }

private:
    bool value(int depth = 0)
    {
        if (depth > 64)
            return false;
        skipSpaces();
        if (m_at >= m_text.size())
            return false;
        switch (m_text[m_at]) {
        case '{':
            return container('}', depth, true);
        case '[':
            return container(']', depth, false);
        case '"':
            return string();
        case 't':
            return word("true");
        case 'f':
            return word("false");
        case 'n':
            return word("null");
        default:
            return number();
        }
    }

    bool container(char close, int depth, bool object)
    {
        ++m_at;
        skipSpaces();
        if (take(close))
            return true;
        for (;;) {
            if (object) {
                skipSpaces();
                if (!string())
                    return false;
                skipSpaces();
                if (!take(':'))
                    return false;
            }
            if (!value(depth + 1))
                return false;
            skipSpaces();
            if (take(close))
                return true;
            if (!take(','))
                return false;
        }
    }

    bool string()
    {
        if (!take('"'))
            return false;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\')
                continue;
            if (m_at >= m_text.size())
                return false;
            const char escaped = m_text[m_at++];
            if (escaped == 'u') {
                for (int i = 0; i < 4; ++i) {
                    if (m_at >= m_text.size() || !std::isxdigit(static_cast<unsigned char>(m_text[m_at++])))
                        return false;
                }
            } else if (std::string_view("\"\\/bfnrt").find(escaped) == std::string_view::npos) {
                return false;
            }
        }
        return false;
    }

    bool number()
    {
        const std::size_t start = m_at;
        take('-');
        if (!digits())
            return false;
        if (m_text[start + (m_text[start] == '-')] == '0' && m_at - start > 1u + (m_text[start] == '-'))
            return false;  // no leading zeros
        if (take('.') && !digits())
            return false;
        if (!take('e') && !take('E'))
            return true;
        if (!take('+'))
            take('-');
        return digits();
    }

    bool digits()
    {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9')
            ++m_at;
        return m_at > start;
    }

    bool word(std::string_view literal)
    {
        if (m_text.substr(m_at, literal.size()) != literal)
            return false;
        m_at += literal.size();
        return true;
    }

    bool take(char c)
    {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    void skipSpaces()
    {
        while (m_at < m_text.size()
               && std::string_view(" \t\r\n").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

// Every '<' opens or closes one of the report's own tags, so that no cell
// text reaches the HTML unescaped.
bool OnlyOwnTags(std::string_view html)
{
    static const std::vector<std::string_view> kTags = {"html",  "body", "h2", "h3", "p", "sup", "table",
                                                        "thead", "tr",   "th", "td", "b", "br",  "img"};
    for (std::size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        std::size_t name = at + 1 + (html.substr(at + 1, 1) == "/");
        const std::size_t end = html.find_first_of(" />", name);
        if (end == std::string_view::npos)
            return false;
        bool known = false;
        for (const std::string_view tag : kTags)
            known = known || html.substr(name, end - name) == tag;
        if (!known)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const char separator = (data[0] & 1) != 0 ? '.' : ',';
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::vector<model::ObservationLine> lines =
        model::ParseObservationText(model::DecodeFileText(file));
    if (lines.size() > static_cast<std::size_t>(model::kMaxObservationCount))
        return 0;

    model::Workbook book;
    model::LoadObservations(book, lines);
    std::optional<std::string> error;
    try {
        if (!model::ComputeWithStatistics(book, separator).complete())
            error = "Пустая ячейка: вычисление остановлено.";
    } catch (const std::exception& failure) {
        error = failure.what();
    }

    // Each line adds a row to every table and a few statistics lines; the
    // cells' own text may be escaped six times over (a control character as
    // \u0001 in JSON) and appears in two tables.
    const std::size_t rows = lines.size() + 1;
    const std::size_t bound = 12 * size + 2000 * rows + 20000 + (error ? 12 * error->size() : 0);

    std::ostringstream report;
    cli::PrintReport(report, book, separator, std::nullopt);
    fuzz::Require(report.str().size() <= bound, "the text report is bounded by its input");

    std::ostringstream json;
    cli::PrintJson(json, book, std::nullopt, error);
    fuzz::Require(json.str().size() <= bound, "the JSON is bounded by its input");
    fuzz::Require(model::IsValidUtf8(json.str()), "the JSON is UTF-8");
    fuzz::Require(JsonChecker(json.str()).valid(), "the JSON parses");

    const std::string html = model::ReportHtml(book, separator, "chart.png", "residuals.png");
    fuzz::Require(html.size() <= bound, "the HTML report is bounded by its input");
    fuzz::Require(OnlyOwnTags(html), "the HTML has only the report's own tags");
    return 0;
}
