#include "markerfile.h"

#include "text/cp1251.h"

#include <charconv>

namespace veldor {

const char* const kMarkersFileName = "markers.txt";

namespace {

void escapeInto(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
}

bool unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            return false;
        }
    }
    return true;
}

bool number(std::string_view field, int& value)
{
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size();
}

std::string pathIn(const std::string& folder)
{
    if (folder.empty())
        return kMarkersFileName;
    return folder.back() == '/' ? folder + kMarkersFileName : folder + "/" + kMarkersFileName;
}

// Lines of the file as they come in pieces: a line cut by the end of a piece waits for the rest.
class LineParser
{
public:
    explicit LineParser(Atlas& atlas) : m_atlas(atlas) {}

    void feed(std::string_view piece)
    {
        std::size_t pos = 0;
        while (pos < piece.size()) {
            const std::size_t end = piece.find('\n', pos);
            if (end == std::string_view::npos) {
                m_partial.append(piece.substr(pos));
                return;
            }
            if (m_partial.empty()) {
                line(piece.substr(pos, end - pos));
            } else {
                m_partial.append(piece.substr(pos, end - pos));
                line(m_partial);
                m_partial.clear();
            }
            pos = end + 1;
        }
    }
    MarkersRead finish()
    {
        if (!m_partial.empty())
            line(m_partial);
        m_partial.clear();
        return m_read;
    }

private:
    void line(std::string_view line)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            return;
        std::string_view fields[5];
        int count = 0;
        std::size_t start = 0;
        for (; count < 4; ++count) {
            const std::size_t tab = line.find('\t', start);
            if (tab == std::string_view::npos)
                break;
            fields[count] = line.substr(start, tab - start);
            start = tab + 1;
        }
        int lab = 0, level = 0, x = 0, y = 0;
        if (count != 4 || !number(fields[0], lab) || !number(fields[1], level) || !number(fields[2], x) ||
            !number(fields[3], y) || !unescape(line.substr(start), m_text) || m_text.empty() || lab < 1 ||
            lab > static_cast<int>(kLabyrinthCount) || level < 0 || level >= kLevelCount || x < 1 || x > kMaxMapSide ||
            y < 1 || y > kMaxMapSide) {
            ++m_read.damaged;
            return;
        }
        m_atlas.setMarkText(static_cast<unsigned>(lab), level, x, y, cp1251::fromUtf8(cp1251::asUtf8(m_text)));
        ++m_read.markers;
    }

    Atlas& m_atlas;
    MarkersRead m_read;
    std::string m_partial;
    std::string m_text;
};

} // namespace

std::string SerializeMarkers(const Atlas& atlas)
{
    return SerializeMarkers(atlas.markerLevels());
}

std::string SerializeMarkers(const Atlas::MarkerLevels& markers)
{
    std::string out = "# Вельдор: маркеры клеток (лабиринт, уровень, x, y, текст)\n";
    char number[16];
    const auto put = [&](int value, char after) {
        const auto end = std::to_chars(number, number + sizeof number, value).ptr;
        out.append(number, end);
        out += after;
    };
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        for (int level = 0; level < kLevelCount; ++level) {
            const auto& marks = markers[(lab - 1) * kLevelCount + static_cast<unsigned>(level)];
            if (!marks)
                continue;
            for (const auto& [spot, text] : *marks) {
                put(static_cast<int>(lab), '\t');
                put(level, '\t');
                put(Atlas::SpotX(spot), '\t');
                put(Atlas::SpotY(spot), '\t');
                escapeInto(out, cp1251::bytesOf(cp1251::toUtf8(text)));
                out += '\n';
            }
        }
    }
    return out;
}

MarkersRead ParseMarkers(std::string_view utf8, Atlas& atlas)
{
    LineParser parser(atlas);
    parser.feed(utf8);
    return parser.finish();
}

MarkersLoad LoadMarkers(Atlas& atlas, const std::string& folder, std::uint64_t maxBytes)
{
    MarkersLoad load;
    LineParser parser(atlas);
    const StreamedFile file = readRegularFileInPieces(
        pathIn(folder),
        [&parser](std::string_view piece) {
            parser.feed(piece);
            return true;
        },
        maxBytes);
    if (file.status == ReadStatus::Missing)
        return load;
    if (file.status != ReadStatus::Ok) {
        load.problem = std::string(kMarkersFileName) + ": маркеры не загружены: " + file.error +
                       ". Файл оставлен как есть: сохранение его не заменит, а новые маркеры до тех пор хранятся в "
                       "журнале восстановления (map.journal)";
        load.unread = true;
        load.kind = errorKind(file.status);
        return load;
    }
    if (file.cutShort) {
        load.read = parser.finish();
        load.problem = std::string(kMarkersFileName) + ": прочитаны первые " + std::to_string(maxBytes >> 20) +
                       " МБ, остальное пропущено";
        load.kind = FileError::TooLarge;
        return load;
    }
    load.read = parser.finish();
    if (load.read.damaged > 0)
        load.problem = std::string(kMarkersFileName) +
                       ": пропущено повреждённых строк: " + std::to_string(load.read.damaged) +
                       " (остальные маркеры загружены)";
    if (load.read.damaged > 0)
        load.kind = FileError::Damaged;
    return load;
}

FileResult SaveMarkers(const Atlas& atlas, const std::string& folder, LinkPolicy links)
{
    return SaveMarkers(atlas.markerLevels(), folder, links);
}

FileResult SaveMarkers(const Atlas::MarkerLevels& markers, const std::string& folder, LinkPolicy links)
{
    const std::string text = SerializeMarkers(markers);
    return replaceFileContents(pathIn(folder), text.data(), text.size(), 0644, ModePolicy::KeepExistingMode, links);
}

} // namespace veldor
