// Outline glyphs from the CDU face: lookup, advances, tessellation (no rendering context needed).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "ScopedEnv.h"
#include "platform/gl/GlFont.h"

namespace {

// Area of the triangle list, and the signed area of one closed contour (shoelace formula).
double meshArea(const GlyphMesh& mesh) {
    double area = 0.0;
    const auto& t = mesh.triangles;
    for (size_t i = 0; i + 5 < t.size(); i += 6)
        area +=
            std::fabs((t[i + 2] - t[i]) * (t[i + 5] - t[i + 1]) - (t[i + 4] - t[i]) * (t[i + 3] - t[i + 1])) /
            2;
    return area;
}

double signedArea(const std::vector<float>& c) {
    double sum = 0.0;
    const size_t n = c.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        sum += static_cast<double>(c[2 * i]) * c[2 * j + 1] - static_cast<double>(c[2 * j]) * c[2 * i + 1];
    }
    return sum / 2;
}

// Every test starts without FMS_FONT and leaves it as it found it.
class GlFont : public ::testing::Test {
protected:
    ScopedEnv font_{"FMS_FONT", nullptr};
};

TEST_F(GlFont, DefaultFaceIsABoldFixedPitchFaceWithTheColumnAdvance) {
    const std::string path = findCduFontFile();
    ASSERT_FALSE(path.empty()) << "no font found: install fonts-dejavu-core";
    EXPECT_NE(path.find("Mono"), std::string::npos) << path;
    OutlineFace face(path);
    ASSERT_TRUE(face.ok());
    const float advance = face.glyph('M', 1.0f).advance;
    // About 0.6 of the height, so that 0.0437 x advance is close to the 0.0267 column pitch.
    EXPECT_NEAR(advance * 0.0437f, 0.0267f, 0.0267f * 0.05f);
    for (int code = 0; code < 255; ++code) ASSERT_FLOAT_EQ(face.glyph(code, 1.0f).advance, advance) << code;
    EXPECT_FLOAT_EQ(face.glyph('M', 2.0f).advance, 2 * advance);  // height scales everything
}

TEST_F(GlFont, TrianglesFillExactlyTheOutlineUprightOnTheBaseline) {
    OutlineFace face(findCduFontFile());
    ASSERT_TRUE(face.ok());
    for (int code : {int{'A'}, int{'O'}, int{'8'}, int{'%'}, int{'@'}, int{'g'}, 176}) {
        const GlyphMesh mesh = face.glyph(code, 1.0f);
        double outline = 0.0;
        for (const auto& c : mesh.contours) outline += signedArea(c);
        ASSERT_GT(meshArea(mesh), 0.01) << "code " << code;
        EXPECT_NEAR(meshArea(mesh), std::fabs(outline), 1e-3 * std::fabs(outline) + 1e-6) << "code " << code;
    }
    // The degree sign (Latin-1 176) is a small ring high in the cell.
    EXPECT_GT(face.glyph(176, 1.0f).minY, 0.3f);
    // "A" stands upright on the baseline (a hole filled in "O" or "8" shows in the areas above).
    const GlyphMesh a = face.glyph('A', 1.0f);
    EXPECT_NEAR(a.minY, 0.0f, 0.01f);
    EXPECT_GT(a.maxY, 0.6f);
    EXPECT_LT(a.maxY, 0.8f);
    // Blanks and control codes draw nothing.
    EXPECT_TRUE(face.glyph(' ', 1.0f).triangles.empty());
    EXPECT_TRUE(face.glyph(10, 1.0f).triangles.empty());
}

TEST_F(GlFont, EnvironmentVariableNamesAnotherFace) {
    const std::string fallback = findCduFontFile();
    const std::string other = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    if (!OutlineFace(other).ok()) GTEST_SKIP() << other << " is not installed";
    setenv("FMS_FONT", other.c_str(), 1);
    EXPECT_EQ(findCduFontFile(), other);
    // A proportional face: "i" is narrower than "M".
    OutlineFace face(findCduFontFile());
    EXPECT_LT(face.glyph('i', 1.0f).advance, face.glyph('M', 1.0f).advance);
    setenv("FMS_FONT", "/nonexistent/face.ttf", 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(findCduFontFile(), fallback);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("/nonexistent/face.ttf"), std::string::npos);
    EXPECT_FALSE(OutlineFace("/nonexistent/face.ttf").ok());
}

}  // namespace
