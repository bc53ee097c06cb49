// The RTF reader behind the instruction window: any bytes through ReadRtf.
// Refusing a text that is not RTF is fine; what is read must be well formed.

#include "fuzz/fuzz_check.h"
#include "model/rtf_reader.h"
#include "model/text_encoding.h"

#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    std::vector<model::Paragraph> paragraphs;
    try {
        paragraphs = model::ReadRtf(rtf);
    } catch (const model::RtfError&) {
        return 0;
    }
    // Linear in the input: each paragraph needs a control word, and no
    // character takes more than four UTF-8 bytes for the one to four bytes
    // it is written with.
    fuzz::Require(paragraphs.size() <= size, "no more paragraphs than input bytes");
    std::size_t text = 0;
    for (const model::Paragraph& paragraph : paragraphs) {
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            const model::TextRun& run = paragraph.runs[i];
            fuzz::Require(!run.text.empty(), "no run is empty");
            fuzz::Require(model::IsValidUtf8(run.text), "a run's text is UTF-8");
            fuzz::Require(run.fontSize > 0, "a font size is positive");
            if (i > 0) {
                model::TextRun previous = paragraph.runs[i - 1];
                previous.text = run.text;
                fuzz::Require(!(previous == run), "neighbouring runs differ in formatting");
            }
            text += run.text.size();
        }
    }
    fuzz::Require(text <= 4 * size, "the text is at most four bytes per input byte");
    return 0;
}
