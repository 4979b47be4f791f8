// The record walk over enhanced metafiles made before decoding.
#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "imagewin/metafile_check.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void put32(Bytes &b, size_t at, uint32_t v) { memcpy(&b[at], &v, 4); }

// A small sound file: header (108 bytes, two handles), an ellipse, a pen made and selected,
// a wide text of three characters, a 2 x 2 true-colour bitmap stretched and the end record;
// the header's byte count is fixed last.
struct Emf {
    Bytes b;
    size_t ellipse, pen, text, bitmap;
    Emf()
    {
        b.assign(108, 0);
        put32(b, 0, 1);
        put32(b, 4, 108);
        const int32_t bounds[4] = {2, 2, 59, 39}, frame[4] = {0, 0, 2000, 1500};
        memcpy(&b[8], bounds, 16);
        memcpy(&b[24], frame, 16);
        memcpy(&b[40], " EMF", 4);
        put32(b, 44, 0x10000);
        b[56] = 2;  // handles
        put32(b, 72, 1280);
        put32(b, 76, 1024);
        put32(b, 80, 339);
        put32(b, 84, 271);
        ellipse = record(42, {10, 10, 50, 30});
        pen = record(38, {1, 0, 1, 0, 0});  // pen in slot 1
        record(37, {1});               // selected
        text = record(84, {4, 4, 5, 5, 1, 0, 0, 4, 4, 3, 76, 0, 0, 0, 0, 0, 84, 0x6D0065, 0x66, 5, 5, 5});
        bitmap = record(81, {0, 0, 1, 1, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0xCC0020, 2, 2,  // header at 80
                             40, 2, 2, 0x180001, 0, 16, 0, 0, 0, 0,                      // bits at 120
                             0x112233, 0x445566, 0x778899, 0xAABBCC});
        record(14, {0, 16, 20});
        put32(b, 48, (uint32_t)b.size());
    }
    // Appends a record of the given type and 32-bit fields; where it begins.
    size_t record(uint32_t type, std::initializer_list<uint32_t> fields)
    {
        size_t at = b.size();
        b.resize(at + 8 + 4 * fields.size());
        put32(b, at, type);
        put32(b, at + 4, (uint32_t)(8 + 4 * fields.size()));
        size_t k = at + 8;
        for (uint32_t f : fields) {
            put32(b, k, f);
            k += 4;
        }
        return at;
    }
    int check() const { return check_before_decoding(b.data(), b.size()); }
};

}  // namespace

TEST(MetafileCheck, PassesSoundFilesAndWhatIsNoMetafile)
{
    Emf e;
    EXPECT_EQ(0, e.check());
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_EQ(0, check_metafile(png.data(), png.size())) << "left to the decoder";
    EXPECT_EQ(0, check_metafile(NULL, 0));
    // A large ellipse is sound when the file scales its units down to fit.
    Emf scaled;
    Bytes tail(scaled.b.begin() + (long)scaled.ellipse, scaled.b.end());
    scaled.b.resize(scaled.ellipse);
    scaled.record(17, {8});                // anisotropic
    scaled.record(9, {4000000, 4000000});  // window
    scaled.record(11, {40, 40});           // viewport
    scaled.b.insert(scaled.b.end(), tail.begin(), tail.end());
    put32(scaled.b, scaled.b.size() - tail.size() + 16, 3000000);
    put32(scaled.b, scaled.b.size() - tail.size() + 20, 3000000);
    put32(scaled.b, 48, (uint32_t)scaled.b.size());
    EXPECT_EQ(0, scaled.check());
}

// Each of these damages made the platform's player read outside the file, hang or fail.
TEST(MetafileCheck, RefusesRecordsThatLieAboutTheirSizeOrContents)
{
    Emf sound;
    struct Damage {
        size_t at;
        uint32_t value;
        const char *what;
    } damages[] = {
        {sound.ellipse + 4, 4, "a record shorter than 8 bytes"},
        {sound.ellipse + 4, 26, "a size that is no multiple of 4"},
        {sound.ellipse + 4, 0x4000, "a record past the end"},
        {48, 0x10000, "a header byte count beyond the file"},
        {28, 0x20000, "a frame whose top lies below its bottom"},
        {8, 100, "bounds whose left lies beyond their right"},
        {60, 0x4000, "a description outside the file"},
        {sound.text + 44, 0x04000003, "more characters than the record holds"},
        {sound.text + 48, 0x0100004C, "a string offset outside the record"},
        {sound.text + 72, 0x20000054, "a spacing offset outside the record"},
        {sound.ellipse, 40, "deleting object 16777226 of a table of two"},
        {sound.ellipse + 16, 0x04000031, "an ellipse 67 million pixels wide"},
        {sound.pen + 16, 0x20000001, "a pen half a billion pixels wide"},
        {sound.bitmap + 80 + 12, 0x180000, "a bitmap of no planes"},
        {sound.bitmap + 80 + 4, 0x100002, "a bitmap wider than its bits"},
        {sound.bitmap + 64, 0x100, "an unknown colour use"},
        {sound.b.size() - 20, 0x0800000E, "no end record"},
    };
    for (const Damage &d : damages) {
        Emf e;
        if (d.at == sound.ellipse) put32(e.b, d.at + 8, 0x0100000A);  // the index the deletion names
        put32(e.b, d.at, d.value);
        EXPECT_EQ(1, e.check()) << d.what;
    }
    Emf scaled;  // a viewport extent turned huge by damage blows the small ellipse up
    Bytes tail(scaled.b.begin() + (long)scaled.ellipse, scaled.b.end());
    scaled.b.resize(scaled.ellipse);
    scaled.record(17, {8});
    scaled.record(11, {2, 0x20000002});
    scaled.b.insert(scaled.b.end(), tail.begin(), tail.end());
    put32(scaled.b, 48, (uint32_t)scaled.b.size());
    EXPECT_EQ(1, scaled.check()) << "an ellipse scaled to millions of pixels";
    EXPECT_EQ(1, check_metafile(sound.b.data(), 100)) << "cut inside the header";
    EXPECT_EQ(1, check_metafile(sound.b.data(), sound.b.size() - 4)) << "cut inside the end record";
}

// Old-style metafiles: a placeable header, the metafile header, a rectangle, a pen made and
// selected, a text of three characters and the end record.
TEST(MetafileCheck, WalksOldStyleMetafiles)
{
    Bytes b(22, 0);
    put32(b, 0, 0x9AC6CDD7);
    b[10] = 64;  // box right and bottom
    b[12] = 48;
    b[14] = 0xA0;  // 1440 units per inch
    b[15] = 0x05;
    const uint16_t words[] = {1, 9, 0x300, 0, 0, 1, 9, 0, 0,  // header; its size at words 3-4
                              7, 0, 0x041B, 40, 60, 2, 2,        // rectangle
                              8, 0, 0x02FA, 0, 1, 0, 0, 0,       // pen, one unit wide, object 0
                              4, 0, 0x012D, 0,                   // selected
                              8, 0, 0x0521, 3, 'a' | 'b' << 8, 'c', 4, 4,  // text
                              3, 0, 0};                          // end
    for (uint16_t w : words) {
        b.push_back((uint8_t)w);
        b.push_back((uint8_t)(w >> 8));
    }
    put32(b, 22 + 6, (uint32_t)(b.size() - 22) / 2);
    EXPECT_EQ(0, check_windows_metafile(b.data(), b.size()));
    EXPECT_EQ(0, check_metafile(b.data(), b.size())) << "no enhanced metafile";
    const size_t rectangle = 40, pen = 54, select = 70, text = 78;
    struct Damage {
        size_t at;
        uint16_t value;
        const char *what;
    } damages[] = {
        {rectangle, 0, "a record of no words, read for ever"},
        {rectangle, 0x4000, "a record past the end"},
        {pen + 8, 0x7FFF, "a pen 32767 units wide in a picture 64 wide"},
        {select + 6, 5, "selecting object 5 of a table of one"},
        {text + 6, 0x4000, "more characters than the record holds"},
        {22 + 6, 0x4000, "a header size beyond the file"},
        {14, 0, "no units per inch"},
    };
    for (const Damage &d : damages) {
        Bytes bad = b;
        bad[d.at] = (uint8_t)d.value;
        bad[d.at + 1] = (uint8_t)(d.value >> 8);
        EXPECT_EQ(1, check_windows_metafile(bad.data(), bad.size())) << d.what;
    }
    EXPECT_EQ(1, check_windows_metafile(b.data(), b.size() - 6)) << "no end record";
}
