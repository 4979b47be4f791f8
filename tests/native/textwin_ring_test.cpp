// The key ring of line input and the colour stack.
#include <gtest/gtest.h>

#include "textwin/colour_stack.h"
#include "textwin/key_ring.h"

TEST(KeyRing, KeepsOrderHoldsExactly256AndWrapsAround)
{
    KeyRing ring;
    key_ring_clear(&ring);
    wchar_t u;
    EXPECT_EQ(1, key_ring_take(&ring, &u));
    EXPECT_EQ(0, u);

    for (int i = 0; i < 256; i++) ASSERT_EQ(0, key_ring_put(&ring, wchar_t(1000 + i)));
    EXPECT_EQ(1, key_ring_put(&ring, L'x')) << "the 257th unit is dropped";
    for (int i = 0; i < 256; i++) {
        ASSERT_EQ(0, key_ring_take(&ring, &u));
        ASSERT_EQ(wchar_t(1000 + i), u);
    }
    EXPECT_EQ(1, key_ring_take(&ring, &u));

    // After wrapping the indices the ring still fills to 256 and empties in order.
    for (int i = 0; i < 256; i++) ASSERT_EQ(0, key_ring_put(&ring, wchar_t(i + 1)));
    EXPECT_EQ(1, key_ring_put(&ring, L'x'));
    ASSERT_EQ(0, key_ring_take(&ring, &u));
    EXPECT_EQ(1, u);
    EXPECT_EQ(0, key_ring_put(&ring, L'y')) << "one taken, one place free";
    for (int i = 2; i <= 256; i++) {
        ASSERT_EQ(0, key_ring_take(&ring, &u));
        ASSERT_EQ(wchar_t(i), u);
    }
    ASSERT_EQ(0, key_ring_take(&ring, &u));
    EXPECT_EQ(L'y', u);
}

TEST(ColourStack, PopWithoutPushRestoresCreationColoursAndANinthPushLosesTheOldest)
{
    int saved_text[KAV_SAVED_COLOURS], saved_back[KAV_SAVED_COLOURS];
    int text = 0xFFFFFF, back = 0;
    fill_colour_stack(saved_text, saved_back, text, back);
    pop_colours(saved_text, saved_back, &text, &back);
    EXPECT_EQ(0xFFFFFF, text);
    EXPECT_EQ(0, back);

    for (int i = 1; i <= 9; i++) push_colours(saved_text, saved_back, &text, &back, i, 100 + i);
    for (int i = 8; i >= 2; i--) {
        pop_colours(saved_text, saved_back, &text, &back);
        EXPECT_EQ(i, text);
        EXPECT_EQ(100 + i, back);
    }
    pop_colours(saved_text, saved_back, &text, &back);
    EXPECT_EQ(1, text) << "the eighth pop reaches the second push; white was lost";
    pop_colours(saved_text, saved_back, &text, &back);
    EXPECT_EQ(1, text) << "slot 7 keeps its value";
}

