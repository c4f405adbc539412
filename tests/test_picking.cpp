// Picking on an offscreen Mesa context: which box a click shows, the pick's own
// projection, the GL state it leaves, and the Korean information table.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "scene/bodies.h"
#include "scene/body_info.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/picking.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"

namespace {
constexpr int width = 800, height = 600;
using Matrix = std::array<double, 16>;

double* const angles[] = {
    &sun_spin,     &mercury_orbit, &mercury_spin, &venus_orbit,    &venus_spin,    &earth_orbit,
    &earth_spin,   &moon_orbit,    &mars_orbit,   &mars_spin,      &jupiter_orbit, &jupiter_spin,
    &saturn_orbit, &saturn_spin,   &ring_angle,   &uranus_orbit,   &uranus_spin,   &neptune_orbit,
    &neptune_spin, &pluto_orbit,   &pluto_spin,   &moon_disk_angle};
std::vector<double> angle_values() {
    std::vector<double> values;
    for (double* angle : angles) values.push_back(*angle);
    return values;
}
void set_angles(const std::vector<double>& values) {
    for (size_t k = 0; k < values.size(); ++k) *angles[k] = values[k];
}

Matrix get_matrix(GLenum which) {
    Matrix m;
    glGetDoublev(which, m.data());
    return m;
}
GLint get_integer(GLenum which) {
    GLint value = 0;
    glGetIntegerv(which, &value);
    return value;
}

struct ClickPoint {
    int x, y;      // client pixels, y downward
    double depth;  // window depth, smaller is nearer
};
// Where the scene puts a point given in the current modelview frame.
ClickPoint project(double x, double y, double z) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    double wx, wy, wz;
    gluProject(x, y, z, get_matrix(GL_MODELVIEW_MATRIX).data(),
               get_matrix(GL_PROJECTION_MATRIX).data(), viewport, &wx, &wy, &wz);
    return {static_cast<int>(std::lround(wx)), static_cast<int>(std::lround(height - wy)), wz};
}
// The scene root: the view transform of each frame.
void load_scene_root() {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -22.0f);
    glRotatef(view_tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(view_turn, 0.0f, 1.0f, 0.0f);
    glRotatef(view_roll, 0.0f, 0.0f, 1.0f);
    glScalef(view_scale, view_scale, view_scale);
}
void place(const Body& body) {
    if (body.orbit_angle != nullptr) {
        glRotatef(static_cast<float>(*body.orbit_angle), body.axis_x, body.axis_y, body.axis_z);
        glTranslatef(body.orbit_distance, 0.0f, 0.0f);
    }
    if (body.spin_angle != nullptr) glRotatef(static_cast<float>(*body.spin_angle), 0, 1, 0);
}
// The centre of a catalogue body on screen; the Moon rides in Earth's frame.
ClickPoint body_centre(int index) {
    load_scene_root();
    if (index == catalogue::moon) place(bodies[catalogue::earth]);
    place(bodies[index]);
    const ClickPoint point = project(0, 0, 0);
    glLoadIdentity();
    return point;
}

std::string caption_of(BodyId id) { return find_body_info(id)->caption; }

class Picking : public testing::Test {
   protected:
    static void SetUpTestSuite() {
        gl_ = new OffscreenGl(width, height);
        ASSERT_TRUE(gl_->ok());
        ASSERT_EQ(chdir(ORRERY_TEXTURE_DIR), 0);
        resize_view(width, height);
        ASSERT_TRUE(init_render_state());
    }
    static void TearDownTestSuite() {
        gluDeleteQuadric(quadric);
        quadric = nullptr;
        delete gl_;
    }
    void SetUp() override {
        saved_ = angle_values();
        animating = 0;
        resize_view(width, height);
    }
    void TearDown() override {
        set_angles(saved_);
        animating = 1;
        view_tilt = 22.5f, view_turn = 0.0f, view_scale = 1.0f;
        window_handle = nullptr;
    }
    // Looking straight down on the orbit plane, small enough for Pluto.
    static void top_view(float turn = 0.0f, float scale = 0.6f) {
        view_tilt = 90.0f, view_turn = turn, view_scale = scale;
    }
    static OffscreenGl* gl_;
    std::vector<double> saved_;
    MessageBoxRecorder boxes_;
};
OffscreenGl* Picking::gl_ = nullptr;

TEST_F(Picking, SunAtWindowCentreOwnedByMainWindowAndNothingInACorner) {
    alignas(void*) static char fake_window[8];
    window_handle = reinterpret_cast<WindowHandle>(fake_window);
    pick_at(width / 2, height / 2);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    const RecordedBox& box = boxes_.boxes()[0];
    EXPECT_EQ(box.caption, "태양");
    EXPECT_EQ(box.text,
              "반지름(Km) : 695,500\n질량(10*24승 Kg) : 1,989,000\n밀도(g/cm3) : 1.41\n"
              "중력(지구=1) : 28\n자전주기 : 25.4일\n공전주기 : -");
    EXPECT_EQ(box.owner, window_handle);
    EXPECT_EQ(box.flags, MB_OK);

    pick_at(3, 3);
    EXPECT_EQ(boxes_.boxes().size(), 1u);
}

// From above every body has a spot of its own, and nothing named is drawn
// before it there; the Moon is drawn under Earth's name.
TEST_F(Picking, EachBodyAtItsProjectedCentreNamesItself) {
    top_view();
    for (int index = 0; index < catalogue::count; ++index) {
        const ClickPoint at = body_centre(index);
        ASSERT_TRUE(at.x > 0 && at.x < width && at.y > 0 && at.y < height) << index;
        pick_at(at.x, at.y);
        ASSERT_EQ(boxes_.boxes().size(), index + 1u) << "body " << index;
        EXPECT_EQ(boxes_.boxes()[index].caption, caption_of(bodies[index].id)) << index;
    }
    EXPECT_EQ(boxes_.boxes()[catalogue::moon].caption, "지구");
}

TEST_F(Picking, DrawingOrderWinsOverDepth) {
    // Seen edge-on with Mercury turned straight towards the eye.
    view_tilt = 0.0f;
    view_turn = static_cast<float>(270.0 - mercury_orbit);
    const ClickPoint sun = body_centre(catalogue::sun);
    const ClickPoint mercury = body_centre(catalogue::mercury);
    ASSERT_LE(std::abs(mercury.x - sun.x) + std::abs(mercury.y - sun.y), 1);
    ASSERT_LT(mercury.depth, sun.depth);
    pick_at(mercury.x, mercury.y);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].caption, "태양");
}

// Saturn turned onto the screen's x axis; a point in the middle of the ring
// lies beside the planet.
ClickPoint saturn_ring_point() {
    load_scene_root();
    glRotatef(static_cast<float>(ring_angle), 0.0f, 1.0f, 0.0f);
    glTranslatef(9.0f, 0.0f, 0.0f);
    glRotatef(45.0f, 1.0f, 0.0f, 0.0f);
    const ClickPoint point = project(0.395, 0.0, 0.0);
    glLoadIdentity();
    return point;
}

TEST_F(Picking, OnlySaturnsRingShowsNothing) {
    top_view(static_cast<float>(-saturn_orbit), 1.0f);
    const ClickPoint ring = saturn_ring_point();
    // The ring really is there: a drawn frame lights those pixels.
    draw_scene();
    const std::vector<std::uint8_t>& rgba = gl_->pixels();
    const size_t at = (static_cast<size_t>(height - 1 - ring.y) * width + ring.x) * 4;
    EXPECT_GT(rgba[at] + rgba[at + 1] + rgba[at + 2], 0);
    pick_at(ring.x, ring.y);
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(Picking, FirstHitRecordAloneDecides) {
    struct Case {
        std::vector<GLuint> buffer;
        const char* caption;  // null: no box
    };
    const Case cases[] = {
        {{1, 5, 9, 104}, "지구"},
        {{1, 5, 9, 101, 1, 2, 3, 102}, "태양"},
        {{1, 5, 9, 110}, "명왕성"},
        {{0, 5, 9, 1, 2, 3, 108}, nullptr},  // a nameless record comes first
        {{1, 5, 9, 100}, nullptr},
        {{1, 5, 9, 111}, nullptr},
        {{1, 5, 9, 0}, nullptr},
    };
    for (const Case& c : cases) {
        boxes_.clear();
        show_body_info(c.buffer.data());
        if (c.caption == nullptr) {
            EXPECT_TRUE(boxes_.boxes().empty()) << c.buffer[3];
        } else {
            ASSERT_EQ(boxes_.boxes().size(), 1u);
            EXPECT_EQ(boxes_.boxes()[0].caption, c.caption);
        }
    }
}

TEST_F(Picking, PausedRepeatsRunningAdvancesOneStepPerPick) {
    top_view();
    const ClickPoint earth = body_centre(catalogue::earth);
    const std::vector<double> before = angle_values();
    pick_at(earth.x, earth.y);
    pick_at(earth.x, earth.y);
    ASSERT_EQ(boxes_.boxes().size(), 2u);
    EXPECT_EQ(boxes_.boxes()[0].caption, "지구");
    EXPECT_EQ(boxes_.boxes()[1].text, boxes_.boxes()[0].text);
    EXPECT_EQ(angle_values(), before);

    animating = 1;
    pick_at(earth.x, earth.y);
    const std::vector<double> after_pick = angle_values();
    set_angles(before);
    advance_orbits();
    EXPECT_EQ(after_pick, angle_values());
    EXPECT_NE(after_pick, before);
}

// What the pick's projection is while the box is open.
Matrix projection_in_box;
GLint projection_depth_in_box;
int capture_projection(WindowHandle, const char*, const char*, unsigned) {
    projection_in_box = get_matrix(GL_PROJECTION_MATRIX);
    projection_depth_in_box = get_integer(GL_PROJECTION_STACK_DEPTH);
    return IDOK;
}

// At 647 by 600 the float aspect ratio and the double quotient give different
// matrices even after GL has rounded them to float; at 800 by 600 they do not.
TEST_F(Picking, PickProjectionUsesTheStoredFloatAspectRatio) {
    const int w = 647, x = 330, y = 290;  // on the Sun, off the centre
    resize_view(w, height);
    GLint viewport[4] = {0, 0, w, height};
    const GLint depth = get_integer(GL_PROJECTION_STACK_DEPTH);
    auto pick_projection = [&](double aspect) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluPickMatrix(x, height - y, 2.0, 2.0, viewport);
        gluPerspective(45.0, aspect, 0.10000000149011612, 100.0);
        const Matrix m = get_matrix(GL_PROJECTION_MATRIX);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        return m;
    };
    set_message_box_hook(capture_projection);
    pick_at(x, y);
    set_message_box_hook(nullptr);

    EXPECT_EQ(projection_depth_in_box, depth + 1);
    const double quotient = static_cast<double>(w) / height;
    EXPECT_EQ(projection_in_box, pick_projection(static_cast<float>(quotient)));
    EXPECT_NE(projection_in_box, pick_projection(quotient));
}

TEST_F(Picking, ProjectionAndMatrixModeRestoredWhateverWasHit) {
    top_view(static_cast<float>(-saturn_orbit), 1.0f);
    const ClickPoint ring = saturn_ring_point();
    const ClickPoint clicks[] = {{width / 2, height / 2, 0}, {3, 3, 0}, ring};
    const Matrix projection = get_matrix(GL_PROJECTION_MATRIX);
    const GLint depth = get_integer(GL_PROJECTION_STACK_DEPTH);
    for (const ClickPoint& click : clicks) {
        glMatrixMode(GL_MODELVIEW);
        pick_at(click.x, click.y);
        EXPECT_EQ(get_integer(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(get_integer(GL_RENDER_MODE), GL_RENDER);
        EXPECT_EQ(get_integer(GL_PROJECTION_STACK_DEPTH), depth);
        EXPECT_EQ(get_matrix(GL_PROJECTION_MATRIX), projection) << click.x << "," << click.y;
    }
    EXPECT_EQ(boxes_.boxes().size(), 1u);
}

// Per body: caption, and the units of the rotation and revolution periods.
struct Row {
    BodyId id;
    const char* caption;
    const char* rotation_unit;
    const char* revolution_unit;
};
const Row rows[] = {
    {101, "태양", "일", " -"},   {102, "수성", "일", "일"},     {103, "금성", "일", "일"},
    {104, "지구", "시간", "일"}, {105, "화성", "시간", "년"},   {106, "목성", "시간", "년"},
    {107, "토성", "시간", "년"}, {108, "천왕성", "시간", "년"}, {109, "해왕성", "시간", "년"},
    {110, "명왕성", "일", "년"},
};
const char* const labels[] = {"반지름(Km) : ",   "질량(10*24승 Kg) : ", "밀도(g/cm3) : ",
                              "중력(지구=1) : ", "자전주기 : ",         "공전주기 : "};

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(BodyInfo, TenRowsOfSixLabelledLinesWithTheirUnits) {
    for (const Row& row : rows) {
        const BodyInfo* info = find_body_info(row.id);
        ASSERT_NE(info, nullptr) << row.id;
        EXPECT_STREQ(info->caption, row.caption);
        std::vector<std::string> lines;
        std::string text = info->text;
        for (size_t start = 0, end;; start = end + 1) {
            end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            if (end == std::string::npos) break;
        }
        ASSERT_EQ(lines.size(), 6u) << row.id;
        for (int k = 0; k < 6; ++k) EXPECT_EQ(lines[k].rfind(labels[k], 0), 0u) << row.id;
        EXPECT_TRUE(ends_with(lines[4], row.rotation_unit)) << row.id;
        EXPECT_TRUE(ends_with(lines[5], row.revolution_unit)) << row.id;
    }
    EXPECT_EQ(find_body_info(100), nullptr);
    EXPECT_EQ(find_body_info(111), nullptr);
}

TEST(BodyInfo, TextsAreTheTableWordsInUtf8) {
    EXPECT_STREQ(find_body_info(104)->text,
                 "반지름(Km) : 6378.1\n질량(10*24승 Kg) : 5.97\n밀도(g/cm3) : 5.52\n"
                 "중력(지구=1) : 1.00\n자전주기 : 23.93시간\n공전주기 : 365.24일");
    EXPECT_STREQ(find_body_info(110)->text,
                 "반지름(Km) : 1151\n질량(10*24승 Kg) : 0.013\n밀도(g/cm3) : 2.0\n"
                 "중력(지구=1) : 0.08\n자전주기 : 6.4일\n공전주기 : 247.9년");
    // The bytes themselves, whatever the source encoding was taken as.
    EXPECT_STREQ(find_body_info(101)->caption, "\xED\x83\x9C\xEC\x96\x91");
    EXPECT_STREQ(find_body_info(110)->caption, "\xEB\xAA\x85\xEC\x99\x95\xEC\x84\xB1");
}
}  // namespace
