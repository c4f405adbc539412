// The subset against Mesa: the same frames and picks drawn through Mesa's own OpenGL 1.1 and
// through the subset over Mesa's OpenGL ES 2 (oracle_frames.cpp), compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

static std::vector<unsigned char> read_ppm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    file >> magic >> width >> height >> maximum;
    file.get();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    file.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    EXPECT_EQ(magic + std::to_string(width) + "x" + std::to_string(height), "P6800x600") << path;
    return rgb;
}

// Both programs have run before (the test gl11_oracle_frames), each into a folder of its own.
static const std::string mesa = ORACLE_OUT "/mesa", subset = ORACLE_OUT "/subset";

// Two frames compared: the pixels within 8 levels a channel, the pixels the scene covers in
// either frame (not black), those of them within 8 levels, and those of them the same.
struct Agreement {
    long close = 0, covered = 0, covered_close = 0, covered_same = 0;
};
static Agreement compare(const std::string& name, const std::string& other) {
    const auto a = read_ppm(mesa + "/" + name + ".ppm"), b = read_ppm(other + "/" + name + ".ppm");
    Agreement n;
    EXPECT_EQ(a.size(), b.size()) << name;
    for (std::size_t i = 0; i + 2 < std::min(a.size(), b.size()); i += 3) {
        int d = 0;
        for (int k = 0; k < 3; ++k) d = std::max(d, std::abs(a[i + k] - b[i + k]));
        const bool lit = a[i] + a[i + 1] + a[i + 2] + b[i] + b[i + 1] + b[i + 2] > 0;
        n.close += d <= 8, n.covered += lit, n.covered_close += lit && d <= 8;
        n.covered_same += lit && d == 0;
    }
    EXPECT_GE(n.close, 0.995 * 800 * 600) << name;
    return n;
}

// Mostly the frames are black space, so beside the whole frame (99.5% within 8 levels) the pixels
// that the scene covers are counted on their own. Filled, the two agree on all but a few of those:
// every value is computed from the same vertices, in single precision on both sides. Outlined,
// polygon edges are drawn as lines by Mesa's own polygon stage and as ES 2 lines by the subset;
// where edges cross they may be drawn in another order, and 1.6% of the covered pixels of the
// second sphere mode differed by more than 8 levels (Mesa 22.3).
TEST(Gl11AgainstMesa, FramesAgreeWithinEightLevelsAChannel) {
    int frames = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mesa)) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".ppm") continue;
        ++frames;
        const double share = name.find("outline") != std::string::npos ? 0.97 : 0.995;
        const Agreement n = compare(name, subset);
        // The Sun alone covers about 1,200 pixels: a scene that is there.
        EXPECT_GT(n.covered, 1000) << name;
        EXPECT_GE(n.covered_close, share * n.covered) << name << ": " << n.covered_close;
    }
    // Both sphere modes, also drawn from lists and again, unlit, untextured, outlined, from
    // above, scaled up, in a second context and without pictures.
    EXPECT_EQ(frames, 18);
}

// The browser page's pictures travel as WebP at quality 80, a lossy format. Frames drawn from them
// agree with the frames from the BMPs as the subset agrees with Mesa: 99.5% of all pixels within 8
// levels a channel (99.99% here, Mesa 22.3). Of the pixels that the scene covers, a few bodies are
// a handful of pixels across, each pixel one texel of a picture; 97.8% of those were within 8
// levels, and 99.96% scaled up ten times, where the pictures are seen.
TEST(WebPictures, FramesAgreeWithTheFramesFromTheBmps) {
    int textured = 0;
    for (const char* name : {"mode1", "mode2", "mode1_unlit", "mode1_outline", "above_mode1",
                             "above_mode2", "zoomed", "zoomed_outline"}) {
        const Agreement n = compare(name, ORACLE_OUT "/web");
        EXPECT_GE(n.covered_close, 0.97 * n.covered) << name << ": " << n.covered_close;
        // The pictures were drawn: a lossy copy leaves some pixels changed.
        textured += n.covered_same < n.covered;
    }
    EXPECT_EQ(textured, 8);
}

// One pick a line: its label, click, hit count, then each record's words.
static std::vector<std::vector<long long>> read_picks(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::vector<long long>> picks;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line.substr(line.find(' ') + 1));
        std::vector<long long> pick;
        for (std::string word; words >> word;)
            if (word != "|") pick.push_back(std::stoll(word));
        picks.push_back(pick);
    }
    return picks;
}

// The same hits in the same order with the same names; each depth, scaled to 0 .. 2^32 - 1,
// within 2^32 / 100,000 of Mesa's (Mesa rounds them in single precision: 417 apart at most here,
// where the Sun's front and back lie a million apart).
TEST(Gl11AgainstMesa, PickRecordsAgree) {
    const auto a = read_picks(mesa + "/picks.txt"), b = read_picks(subset + "/picks.txt");
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(a.size(), 500u);
    constexpr long long depth_tolerance = 4294967296LL / 100000;
    int named = 0, nameless = 0;
    for (std::size_t p = 0; p < a.size(); ++p) {
        const std::vector<long long>&m = a[p], &s = b[p];
        ASSERT_EQ(m.size(), s.size()) << "pick " << p;
        ASSERT_EQ(std::vector<long long>(m.begin(), m.begin() + 3),
                  std::vector<long long>(s.begin(), s.begin() + 3));  // click and hit count
        for (std::size_t at = 3; at < m.size(); at += 3 + m[at]) {
            ASSERT_EQ(m[at], s[at]) << "names in pick " << p;
            EXPECT_NEAR(m[at + 1], s[at + 1], depth_tolerance) << "pick " << p;
            EXPECT_NEAR(m[at + 2], s[at + 2], depth_tolerance) << "pick " << p;
            for (long long n = 0; n < m[at]; ++n) EXPECT_EQ(m[at + 3 + n], s[at + 3 + n]);
            (m[at] == 0 ? nameless : named) += 1;
        }
    }
    // Bodies and the nameless ring and disks were hit.
    EXPECT_GT(named, 300);
    EXPECT_GT(nameless, 100);
}

// After the picks of a frame (behind the box a click opens), the picture is the frame as it was;
// and a frame drawn again from display lists or from GLU's shapes uploads nothing to ES 2 anew,
// and is the same frame to the bit.
TEST(Gl11Subset, PicksLeaveThePictureAndReplaysUploadNothing) {
    const auto same = [](const char* a, const char* b) {
        EXPECT_TRUE(read_ppm(subset + "/" + a + ".ppm") == read_ppm(subset + "/" + b + ".ppm"))
            << a;
    };
    same("mode1_lists", "mode1"), same("mode2_again", "mode2");
    std::ifstream checks(subset + "/checks.txt");
    int kept = 0, repeated = 0;
    for (std::string name, what; checks >> name >> what;) {
        if (name == "version") break;
        long value = -1;
        checks >> value;
        EXPECT_EQ(value, what == "kept" ? 1 : 0) << name << " " << what;
        (what == "kept" ? kept : repeated) += 1;
    }
    EXPECT_EQ(kept, 5);
    EXPECT_EQ(repeated, 3);
}
