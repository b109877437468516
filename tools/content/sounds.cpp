// The sounds: short synthesised chimes, PCM 16-bit mono at 22050 Hz. Each
// colour plays its notifications on an instrument and in a key of its own
// (white a bell in C, blue a water-drop marimba in D, black a dark organ in A
// minor, red a plucked string in E, green a breathy flute in G, pentatonic);
// the quick window and menu sounds and the bin's rustle are shared.
#include "tools/content/emblems.h"

#include <math.h>

namespace {

constexpr int kRate = 22050;
constexpr float kPi = 3.14159265f;

typedef std::vector<float> Track;

uint32_t NoiseState = 1;
float Noise()  // -1..1, deterministic
{
    NoiseState = NoiseState * 1664525u + 1013904223u;
    return (float)(NoiseState >> 8) / (float)(1u << 23) - 1.0f;
}

void Reserve(Track &t, float seconds)
{
    size_t n = (size_t)(seconds * kRate);
    if (t.size() < n)
        t.resize(n, 0.0f);
}

// One note of the colour's instrument at start seconds.
void Note(Track &t, int color, float start, float freq, float length, float gain)
{
    Reserve(t, start + length);
    size_t at = (size_t)(start * kRate), n = (size_t)(length * kRate);
    if (color == kRed) {
        // Plucked string: a burst of noise circulating in a delay line that
        // averages neighbours, so the high partials die first.
        size_t period = (size_t)(kRate / freq + 0.5f);
        std::vector<float> line(period);
        for (float &v : line)
            v = Noise();
        for (size_t i = 0; i < n && at + i < t.size(); i++) {
            float v = line[i % period];
            line[i % period] = 0.5f * (v + line[(i + 1) % period]) * 0.996f;
            float fade = std::min(1.0f, (n - i) / (0.02f * kRate));
            t[at + i] += gain * 0.9f * v * fade;
        }
        return;
    }
    for (size_t i = 0; i < n && at + i < t.size(); i++) {
        float s = (float)i / kRate, v = 0;
        float release = std::min(1.0f, (n - i) / (0.03f * kRate));
        switch (color) {
        case kWhite: {  // bell: a few partials, the higher ones fading sooner
            static const float ratio[5] = {1.0f, 2.0f, 3.0f, 4.16f, 5.43f};
            static const float level[5] = {1.0f, 0.45f, 0.22f, 0.14f, 0.08f};
            for (int p = 0; p < 5; p++)
                v += level[p] * sinf(2 * kPi * freq * ratio[p] * s) * expf(-s * (2.8f + 2.5f * p));
            v *= std::min(1.0f, s / 0.002f);
            break;
        }
        case kBlue: {  // drop: a round tone that starts a little sharp
            // The pitch starts 12% sharp and settles within some 20 ms; the
            // phase is the integral of that frequency.
            float phase = 2 * kPi * freq * (s + 0.12f * 0.018f * (1 - expf(-s / 0.018f)));
            v = sinf(phase) * expf(-s * 5.5f) + 0.18f * sinf(4 * phase) * expf(-s * 22);
            v *= std::min(1.0f, s / 0.003f);
            break;
        }
        case kBlack: {  // organ: soft attack, two slightly detuned voices
            float attack = std::min(1.0f, s / 0.03f);
            for (float detune : {0.9985f, 1.0015f}) {
                float f = freq * detune;
                v += 0.5f * (sinf(2 * kPi * f * s) + 0.5f * sinf(4 * kPi * f * s) + 0.25f * sinf(6 * kPi * f * s) +
                             0.12f * sinf(8 * kPi * f * s));
            }
            v *= attack * expf(-s * 1.6f) * 0.7f;
            break;
        }
        default: {  // flute: a gentle vibrato, some breath
            float attack = std::min(1.0f, s / 0.035f);
            float vib = 1.0f + 0.004f * sinf(2 * kPi * 5.5f * s);
            float phase = 2 * kPi * freq * vib * s;
            v = sinf(phase) + 0.22f * sinf(2 * phase) + 0.05f * Noise();
            v *= attack * expf(-s * 2.4f) * 0.8f;
            break;
        }
        }
        t[at + i] += gain * v * release;
    }
}

// The colour's scale: semitones of each degree above the key note.
float Pitch(int color, int degree)
{
    static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
    static const int minor[7] = {0, 2, 3, 5, 7, 8, 10};
    static const int pentatonic[5] = {0, 2, 4, 7, 9};
    static const float key[kThemeCount] = {220.00f, 329.63f, 523.25f, 587.33f, 392.00f};  // A3 E4 C5 D5 G4
    int steps = color == kGreen ? 5 : 7;
    int octave = degree >= 0 ? degree / steps : -((-degree + steps - 1) / steps);
    int within = degree - octave * steps;
    int semis = color == kGreen ? pentatonic[within] : color == kBlack ? minor[within] : major[within];
    return key[color] * powf(2.0f, (semis + 12 * octave) / 12.0f);
}

// A motif: degrees played at the given times, each ringing for length.
struct Motif {
    const char *file;
    float seconds;
    int count;
    int degree[6];
    float time[6];
    float length;
};

const Motif kMotifs[] = {
    {"Start.wav", 1.0f, 4, {0, 2, 4, 7}, {0, 0.12f, 0.24f, 0.36f}, 0.64f},
    {"Exit.wav", 0.9f, 4, {7, 4, 2, 0}, {0, 0.12f, 0.24f, 0.36f}, 0.54f},
    {"Default.wav", 0.35f, 2, {4, 7}, {0, 0.09f}, 0.26f},
    {"Ding.wav", 0.35f, 2, {2, 4}, {0, 0.08f}, 0.27f},
    {"Asterisk.wav", 0.5f, 3, {4, 7, 9}, {0, 0.07f, 0.14f}, 0.36f},
    {"Exclaim.wav", 0.5f, 2, {4, 4}, {0, 0.14f}, 0.36f},
    {"Stop.wav", 0.6f, 3, {-7, -6, 0}, {0, 0, 0.02f}, 0.58f},
    {"Fault.wav", 0.5f, 2, {-3, -7}, {0, 0.12f}, 0.38f},
    {"Question.wav", 0.45f, 2, {2, 5}, {0, 0.14f}, 0.31f},
    {"Mail.wav", 0.55f, 2, {9, 4}, {0, 0.18f}, 0.37f},
    {"RingIn.wav", 0.8f, 6, {4, 6, 4, 6, 4, 6}, {0, 0.09f, 0.18f, 0.27f, 0.36f, 0.45f}, 0.34f},
    {"RingOut.wav", 0.5f, 2, {0, 4}, {0, 0.15f}, 0.35f},
};

// A shared sound: a sine gliding from one pitch to another, or a noise sweep.
struct Glide {
    const char *file;
    float seconds, from, to, glide;
    float click;  // share of a short noise click at the start
};

const Glide kGlides[] = {
    {"Command.wav", 0.08f, 2000, 1800, 0.03f, 0.5f},  {"Popup.wav", 0.07f, 1250, 1250, 0.03f, 0.15f},
    {"Minimize.wav", 0.22f, 900, 450, 0.18f, 0.0f},   {"Maximize.wav", 0.22f, 450, 900, 0.18f, 0.0f},
    {"RestoreDown.wav", 0.18f, 800, 600, 0.14f, 0.0f}, {"RestoreUp.wav", 0.18f, 600, 800, 0.14f, 0.0f},
    {"Open.wav", 0.2f, 660, 880, 0.05f, 0.0f},         {"Close.wav", 0.2f, 880, 660, 0.05f, 0.0f},
};

Track GlideTrack(const Glide &g)
{
    Track t;
    Reserve(t, g.seconds);
    float phase = 0;
    for (size_t i = 0; i < t.size(); i++) {
        float s = (float)i / kRate;
        float k = std::min(1.0f, s / g.glide);
        float f = g.from * powf(g.to / g.from, k);
        phase += 2 * kPi * f / kRate;
        float env = std::min(1.0f, s / 0.004f) * expf(-s * 3.0f / g.seconds);
        t[i] = sinf(phase) * env + g.click * Noise() * expf(-s / 0.004f);
    }
    return t;
}

// Paper rustling down into the bin: noise through a falling band, with crackle.
Track BinTrack()
{
    Track t;
    Reserve(t, 0.6f);
    float low = 0, band = 0;
    for (size_t i = 0; i < t.size(); i++) {
        float s = (float)i / kRate;
        float centre = 3000 * expf(-s * 3.0f) + 300;
        float k = 2 * kPi * centre / kRate;  // a two-pole band pass by state variables
        float in = Noise();
        float high = in - low - 0.6f * band;
        band += k * high;
        low += k * band;
        float env = std::min(1.0f, s / 0.03f) * expf(-s * 4.0f);
        float crackle = (Noise() > 0.985f ? Noise() : 0.0f) * expf(-s * 5);
        t[i] = 0.8f * band * env + 0.6f * crackle;
    }
    return t;
}

// Peak at -3 dB, 5 ms fade in and 20 ms fade out, rounded to 16 bits.
std::vector<int16_t> Finish(const Track &t)
{
    float peak = 1e-6f;
    for (float v : t)
        peak = std::max(peak, fabsf(v));
    std::vector<int16_t> out(t.size());
    size_t fadeIn = kRate / 200, fadeOut = kRate / 50;
    for (size_t i = 0; i < t.size(); i++) {
        float g = 0.707f / peak;
        if (i < fadeIn)
            g *= (float)i / fadeIn;
        if (t.size() - i < fadeOut)
            g *= (float)(t.size() - i) / fadeOut;
        out[i] = (int16_t)lroundf(std::max(-32767.0f, std::min(32767.0f, t[i] * g * 32767)));
    }
    return out;
}

struct Event {
    const char *key;    // the theme file's section
    const char *file;   // sound file
    bool shared;        // in Zorva\Shared\Sounds rather than the colour's folder
};

const Event kEvents[21] = {
    {"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current", "Default.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\AppGPFault\\.Current", "Fault.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current", "Command.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", "Popup.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\Minimize\\.Current", "Minimize.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\Maximize\\.Current", "Maximize.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current", "Open.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\Close\\.Current", "Close.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\RestoreDown\\.Current", "RestoreDown.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\RestoreUp\\.Current", "RestoreUp.wav", true},
    {"AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current", "RingIn.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\RingOut\\.Current", "RingOut.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current", "Asterisk.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current", "Ding.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemExclamation\\.Current", "Exclaim.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current", "Exit.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current", "Stop.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemQuestion\\.Current", "Question.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current", "Start.wav", false},
    {"AppEvents\\Schemes\\Apps\\.Default\\MailBeep\\.Current", "Mail.wav", false},
    {"AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current", "EmptyBin.wav", true},
};

}  // namespace

const char *SoundSection(int event) { return kEvents[event].key; }

std::string SoundPath(int event, int color)
{
    const Event &e = kEvents[event];
    return std::string("Zorva\\") + (e.shared ? "Shared" : kColorWords[color]) + "\\Sounds\\" + e.file;
}

void MakeSounds()
{
    NoiseState = 1;
    for (int color = 0; color < kThemeCount; color++)
        for (const Motif &m : kMotifs) {
            Track t;
            Reserve(t, m.seconds);
            for (int i = 0; i < m.count; i++)
                Note(t, color, m.time[i], Pitch(color, m.degree[i]), std::min(m.length, m.seconds - m.time[i]),
                     i == m.count - 1 ? 1.0f : 0.8f);
            t.resize((size_t)(m.seconds * kRate));
            SaveFile(std::string("Zorva\\") + kColorWords[color] + "\\Sounds\\" + m.file,
                     WaveFileBytes(Finish(t), kRate));
        }
    for (const Glide &g : kGlides)
        SaveFile(std::string("Zorva\\Shared\\Sounds\\") + g.file, WaveFileBytes(Finish(GlideTrack(g)), kRate));
    SaveFile("Zorva\\Shared\\Sounds\\EmptyBin.wav", WaveFileBytes(Finish(BinTrack()), kRate));
}
