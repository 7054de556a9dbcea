#include "markerfile.h"

#include "text/cp1251.h"

#include <charconv>

namespace veldor {

const char* const kMarkersFileName = "markers.txt";

namespace {

// A marker file far larger than any atlas could need is not read.
constexpr std::size_t kMaxMarkersBytes = 32 * 1024 * 1024;

std::string escape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
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
    return out;
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

} // namespace

std::string SerializeMarkers(const Atlas& atlas)
{
    std::string out = "# Вельдор: маркеры клеток (лабиринт, уровень, x, y, текст)\n";
    for (const auto& m : atlas.markers()) {
        out += std::to_string(m.lab) + '\t' + std::to_string(m.level) + '\t' + std::to_string(m.x) + '\t' +
               std::to_string(m.y) + '\t' + escape(cp1251::bytesOf(cp1251::toUtf8(m.text))) + '\n';
    }
    return out;
}

MarkersRead ParseMarkers(std::string_view utf8, Atlas& atlas)
{
    MarkersRead r;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t end = utf8.find('\n', pos);
        if (end == std::string_view::npos)
            end = utf8.size();
        std::string_view line = utf8.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
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
        std::string text;
        if (count != 4 || !number(fields[0], lab) || !number(fields[1], level) || !number(fields[2], x) ||
            !number(fields[3], y) || !unescape(line.substr(start), text) || text.empty() || lab < 1 ||
            lab > static_cast<int>(kLabyrinthCount) || level < 0 || level >= kLevelCount || x < 1 || x > kMaxMapSide ||
            y < 1 || y > kMaxMapSide) {
            ++r.damaged;
            continue;
        }
        atlas.setMarkText(static_cast<unsigned>(lab), level, x, y, cp1251::fromUtf8(cp1251::asUtf8(text)));
        ++r.markers;
    }
    return r;
}

MarkersLoad LoadMarkers(Atlas& atlas, const std::string& folder)
{
    MarkersLoad load;
    const SmallFile file = readSmallRegularFile(pathIn(folder), kMaxMarkersBytes);
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
    load.read = ParseMarkers(file.bytes, atlas);
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
    const std::string text = SerializeMarkers(atlas);
    return replaceFileContents(pathIn(folder), text.data(), text.size(), 0644, ModePolicy::KeepExistingMode, links);
}

} // namespace veldor
