// Writes the six event sounds of the program (short generated tones) into a folder, leaving any file that is
// already there alone: a player's own sounds are never replaced.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Tone
{
    const char* file;
    std::vector<double> notes; // Hz, played one after the other
    double noteSeconds;
};

void put16(std::ofstream& out, std::uint16_t v)
{
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>(v >> 8));
}

void put32(std::ofstream& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

bool writeWav(const std::filesystem::path& path, const Tone& tone)
{
    constexpr int rate = 22050;
    std::vector<std::int16_t> samples;
    for (double f : tone.notes) {
        const int n = static_cast<int>(rate * tone.noteSeconds);
        for (int i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double fade = std::min(1.0, std::min(i, n - i) / (rate * 0.01)); // no clicks at the ends
            samples.push_back(static_cast<std::int16_t>(9000 * fade * std::sin(2 * M_PI * f * t)));
        }
    }
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t bytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, rate);
    put32(out, rate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
    const Tone tones[] = {
        {"trap.wav", {880, 440}, 0.12}, {"flag.wav", {660, 880}, 0.10},        {"down.wav", {520, 390, 260}, 0.09},
        {"mob.wav", {180, 150}, 0.15},  {"chest.wav", {700, 900, 1200}, 0.07}, {"res.wav", {1000}, 0.08},
    };
    std::filesystem::create_directories(folder);
    int written = 0;
    for (const Tone& t : tones) {
        const auto path = folder / t.file;
        if (std::filesystem::exists(path))
            continue;
        if (!writeWav(path, t)) {
            std::fprintf(stderr, "make-sounds: cannot write %s\n", path.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("%d sound files written to %s\n", written, folder.c_str());
    return 0;
}
