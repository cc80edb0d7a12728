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

TEST_F(SaveCommand, WarnsOnCancelAndOnAFailedWriteButNotOnSuccess)
{
    platform.saveAnswers = {std::nullopt};
    choose("mnuSave");
    EXPECT_TRUE(platform.callsOf(Kind::WritePicture).empty());

    platform.saveAnswers = {"/media/stick/orbits.BMP", "/home/user/orbits.BMP"};
    platform.writeFailure = "No space left on device";
    choose("mnuSave");
    platform.writeFailure.reset();
    choose("mnuSave");

    const auto boxes = platform.callsOf(Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    for (const Call& box : boxes) {
        EXPECT_EQ(box.text, "Image not saved!");
        EXPECT_EQ(box.colour, static_cast<Rgb>(MessageIcon::Warning));
        EXPECT_EQ(box.title, ""); // the program's default title
    }
    EXPECT_EQ(boxes[0].extra, "");
    EXPECT_EQ(boxes[1].extra, "/media/stick/orbits.BMP\r\nNo space left on device");
}

} // namespace
} // namespace quorvane::test
