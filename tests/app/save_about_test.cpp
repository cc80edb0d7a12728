#include "support/form_fixture.h"

namespace quorvane::test {
namespace {

using Kind = Call::Kind;

class SaveCommand : public FormFixture { };

TEST_F(SaveCommand, AsksForABitmapOfferingTheNameLastChosen)
{
    platform.saveAnswers = {"first.BMP", std::nullopt, "second.BMP", std::nullopt};
    platform.writeFailure = "Permission denied"; // a name chosen but not written is still chosen
    choose("mnuSave");
    platform.writeFailure.reset();
    frm1.Form_KeyDown(KeyCode::Space, 0); // cancelled: the name stays
    choose("mnuSave");
    choose("mnuSave");

    const auto dialogs = platform.callsOf(Kind::SaveDialog);
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].colour, 2097158u); // overwrite prompt, no read-only box, long names
    EXPECT_EQ(dialogs[0].extra, "BMP");
    EXPECT_EQ(dialogs[0].title, "Bitmap|*.BMP");
    EXPECT_EQ(dialogs[0].text, "");
    EXPECT_EQ(dialogs[1].text, "first.BMP");
    EXPECT_EQ(dialogs[2].text, "first.BMP");
    EXPECT_EQ(dialogs[3].text, "second.BMP");

    const auto writes = platform.callsOf(Kind::WritePicture);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].text, "second.BMP");
}

} // namespace
} // namespace quorvane::test
