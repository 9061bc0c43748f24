// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

#include "engine/format/CarrierFormat.h"
#include "shell/MainController.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/PngMaker.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

// The real main window, its buttons clicked and its boxes typed into, over a scripted platform.
struct Window {
    TempDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<MainController> controller;

    Window() {
        platform.SetAppFolder(dir.path());
        controller = std::make_unique<MainController>(platform);
    }
    FrmMain& frm() { return controller->Window(); }
    template <typename T = QWidget>
    T* Find(const char* name) {
        return frm().findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
    std::string Text(const char* name) { return Find<QLabel>(name)->text().toStdString(); }
    void Type(const char* name, const QString& text) {
        Find<QLineEdit>(name)->clear();
        QTest::keyClicks(Find<QLineEdit>(name), text);
    }
    void Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
        data.setUrls(urls);
        // A drop arrives after the drag entered the window, as the window system sends it.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frm(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frm(), &drop);
    }
    // Opens a picture that shows no mark and takes its no-trace message out with the typed
    // `password`, declining to open the file afterwards.
    void TakeOutWithoutTrace(const std::string& picture, const QString& password) {
        platform.ClearRecords();
        platform.AnswerOpenFile(picture);
        Click("cmdopen");
        EXPECT_EQ(Text("Labtmp"), "这张图片没有隐藏信息");
        Type("Text1", password);
        platform.AnswerQuestion(kAnswerNo);
        Click("cmdout");
    }
    std::string Carrier(const std::string& name) {
        WriteAll(dir.File(name), CarrierBuilder{}.Build());
        return dir.File(name);
    }
};

TEST(WindowWorkflow, HideAndExtractWithAPasswordAndTheWipe) {
    Window w;
    std::string carrier = w.Carrier("holiday.bmp");
    auto message = RandomBytes(500, 4);
    WriteAll(w.dir.File("notes.txt"), message);

    w.platform.AnswerOpenFile(carrier);
    w.Click("cmdopen");
    EXPECT_EQ(w.Text("LabCue1"), "当前图片:" + carrier);
    EXPECT_EQ(w.Text("LabCue2"), "您可以嵌入的信息大小不超过7KB");
    EXPECT_TRUE(w.Find("Frame1")->isVisibleTo(&w.frm()));
    w.platform.AnswerOpenFile(w.dir.File("notes.txt"));
    w.Click("CmdMsgSelect");
    EXPECT_EQ(w.Text("LabCue2"), "欲嵌入的文件:" + w.dir.File("notes.txt"));

    w.Click("ChkPassword");
    EXPECT_TRUE(w.Find("Text1")->isEnabled());
    w.Type("Text1", "k3y");
    w.Type("Text2", "k3y");
    std::vector<bool> openEnabledDuringPass;
    w.platform.OnYield([&] { openEnabledDuringPass.push_back(w.Find("cmdopen")->isEnabled()); });
    w.Click("cmdadd");
    EXPECT_EQ(w.platform.boxes().back(), (Box{"嵌入完成！", 64, std::string("消息")}));
    ASSERT_FALSE(openEnabledDuringPass.empty());
    EXPECT_EQ(openEnabledDuringPass, std::vector<bool>(openEnabledDuringPass.size(), false));
    EXPECT_TRUE(w.Find("cmdopen")->isEnabled());
    // A fresh user's password encrypts (format version 2), and leaves the boxes once taken.
    EXPECT_EQ(ReadAll(carrier)[9], 0x28);
    EXPECT_TRUE(static_cast<QLineEdit*>(w.Find("Text1"))->text().isEmpty());
    EXPECT_TRUE(static_cast<QLineEdit*>(w.Find("Text2"))->text().isEmpty());

    w.Click("ChkPassword");  // clearing the option does not unlock the carrier
    w.Click("ChkclearBmp");
    w.platform.ClearRecords();
    w.platform.AnswerInput("k3y");
    w.platform.AnswerQuestion(kAnswerNo);
    w.Click("cmdout");
    EXPECT_EQ(ReadAll(w.dir.File("output.txt")), message);
    EXPECT_EQ(w.platform.boxes().back(), (Box{"    信息已清除    ", 64, std::string("消息")}));
    EXPECT_EQ(w.Text("Labtmp"), "隐藏信息已被清除！");
    EXPECT_EQ(w.Text("LabCue2"), "欲嵌入的文件：无");
    EXPECT_EQ(GetLE32(ReadAll(carrier), 6), 0u);
}

// The no-trace option is open only to an encrypted password, the capacity hint follows all
// three options, and a message hidden without trace comes back under its own name when the
// password is typed before 取出信息.
TEST(WindowWorkflow, NoTraceHideAndExtractionFollowTheOptions) {
    Window w;
    std::string carrier = w.dir.File("beach.bmp");
    WriteAll(carrier, CarrierBuilder{.width = 640, .height = 480}.Build());
    auto message = RandomBytes(700, 8);
    ::mkdir(w.dir.File("from").c_str(), 0700);  // not the output folder, which gets notes.txt
    WriteAll(w.dir.File("from/notes.txt"), message);
    w.platform.AnswerOpenFile(carrier);
    w.Click("cmdopen");
    const std::string most = "您可以嵌入的信息大小不超过225KB";
    const std::string safe = "您可以嵌入的信息大小不超过2KB";
    EXPECT_FALSE(w.Find("ChkStealth")->isEnabled());
    w.Click("ChkPassword");
    ASSERT_TRUE(w.Find<QCheckBox>("ChkEncrypt")->isChecked());
    ASSERT_TRUE(w.Find("ChkStealth")->isEnabled());
    w.Click("ChkStealth");
    EXPECT_EQ(w.Text("LabCue2"), safe);
    w.Click("ChkEncrypt");
    EXPECT_FALSE(w.Find("ChkStealth")->isEnabled());
    EXPECT_EQ(w.Text("LabCue2"), most);
    w.Click("ChkEncrypt");
    EXPECT_EQ(w.Text("LabCue2"), safe);
    w.Click("ChkPassword");
    EXPECT_EQ(w.Text("LabCue2"), most);
    w.Click("ChkPassword");

    w.platform.AnswerOpenFile(w.dir.File("from/notes.txt"));
    w.Click("CmdMsgSelect");
    w.Type("Text1", "sand and sea");
    w.Type("Text2", "sand and sea");
    w.Click("cmdadd");
    ASSERT_EQ(w.platform.boxes().back(), (Box{"嵌入完成！", 64, std::string("消息")}));
    EXPECT_EQ(GetLE32(ReadAll(carrier), 6), 0u);

    w.TakeOutWithoutTrace(carrier, "sand and sea");
    EXPECT_EQ(ReadAll(w.dir.File("notes.txt")), message);
    EXPECT_EQ(w.platform.boxes().back(),
              (Box{"     你愿意现在就阅读内容吗？     ", 36, std::string("选择")}));
}

// A PNG takes a message only without trace: its hint is the safe size whatever the options,
// a hide with other options is refused before anything is written, and the rewritten picture
// is the one the window goes on with.
TEST(WindowWorkflow, PngIsHiddenInWithoutTraceOnlyAndTakenOutAgain) {
    namespace pt = png::testing;
    Window w;
    const std::string picture = w.dir.File("beach.png");
    const pt::PngRecipe recipe{.width = 640, .height = 480};
    const pt::Bytes original = pt::InsertBeforeImage(pt::WritePng(recipe, pt::PatternSamples(recipe)),
                                                     pt::Chunk("tEXt", pt::Text("Title")));
    WriteAll(picture, original);
    ASSERT_EQ(::chmod(picture.c_str(), 0600), 0);
    ::mkdir(w.dir.File("from").c_str(), 0700);
    const auto message = RandomBytes(900, 9);
    WriteAll(w.dir.File("from/notes.txt"), message);
    w.Drop({picture});
    EXPECT_TRUE(w.platform.boxes().empty());
    EXPECT_EQ(w.Text("LabCue1"), "当前图片:" + picture);
    const std::string safe = "您可以嵌入的信息大小不超过2KB";  // as the BMP of the same size
    EXPECT_EQ(w.Text("LabCue2"), safe);
    w.Click("ChkPassword");
    EXPECT_EQ(w.Text("LabCue2"), safe);
    w.Click("ChkEncrypt");
    EXPECT_EQ(w.Text("LabCue2"), safe);

    w.platform.AnswerOpenFile(w.dir.File("from/notes.txt"));
    w.Click("CmdMsgSelect");
    w.Type("Text1", "sand and sea");
    w.Type("Text2", "sand and sea");
    w.Click("cmdadd");
    EXPECT_EQ(w.platform.boxes().back(),
              (Box{"PNG图片只能以不留痕迹方式嵌入，请勾选不留痕迹并输入密码！", 48, std::string("注意")}));
    EXPECT_EQ(ReadAll(picture), original);

    w.Click("ChkEncrypt");
    w.Click("ChkStealth");
    w.Type("Text1", "sand and sea");
    w.Type("Text2", "sand and sea");
    w.Click("cmdadd");
    ASSERT_EQ(w.platform.boxes().back(), (Box{"嵌入完成！", 64, std::string("消息")}));
    EXPECT_EQ(pt::ChunksOtherThanImage(ReadAll(picture)), pt::ChunksOtherThanImage(original));
    struct stat st {};
    ASSERT_EQ(::stat(picture.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    w.TakeOutWithoutTrace(picture, "sand and sea");
    EXPECT_EQ(ReadAll(w.dir.File("notes.txt")), message);
}

TEST(WindowWorkflow, ACloseRequestIsRefusedWhileAPassRuns) {
    Window w;
    std::string carrier = w.Carrier("c.bmp");
    WriteAll(w.dir.File("m.txt"), RandomBytes(300, 1));
    w.frm().show();
    w.platform.AnswerOpenFile(carrier);
    w.Click("cmdopen");
    w.platform.AnswerOpenFile(w.dir.File("m.txt"));
    w.Click("CmdMsgSelect");
    bool closedDuringPass = true;
    w.platform.OnYield([&] { closedDuringPass = w.frm().close(); });
    w.Click("cmdadd");
    EXPECT_FALSE(closedDuringPass);
    EXPECT_TRUE(w.frm().isVisible());
    EXPECT_TRUE(w.controller->Job().HiddenMark);
}

TEST(WindowWorkflow, DroppedPictureAndFileAreTakenAsIfChosenInTheDialogs) {
    Window w;
    std::string carrier = w.Carrier("Photo.BMP");
    WriteAll(w.dir.File("a.doc"), {1, 2, 3});
    WriteAll(w.dir.File("b.txt"), {4});
    w.Drop({w.dir.File("a.doc"), carrier, w.dir.File("b.txt"), w.Carrier("second.bmp")});
    EXPECT_TRUE(w.platform.boxes().empty());
    EXPECT_EQ(w.controller->Job().ImagePath, carrier);
    EXPECT_EQ(w.controller->Job().MsgPath, w.dir.File("a.doc"));
    EXPECT_EQ(w.controller->Job().MsgExt, "doc");
    EXPECT_EQ(w.Text("LabCue1"), "当前图片:" + carrier);
    EXPECT_TRUE(w.platform.dialogs().empty());

    Window fresh;  // a file without a picture is refused as the button refuses it
    WriteAll(fresh.dir.File("m.txt"), {1});
    fresh.Drop({fresh.dir.File("m.txt")});
    EXPECT_EQ(fresh.platform.boxes(), (std::vector<Box>{{"请先选择图片！", 64, std::string("注意")}}));
    EXPECT_TRUE(fresh.controller->Job().MsgPath.empty());

    std::vector<std::uint8_t> eight = CarrierBuilder{.bitCount = 8}.Build();
    WriteAll(fresh.dir.File("eight.bmp"), eight);
    fresh.platform.ClearRecords();
    fresh.Drop({fresh.dir.File("eight.bmp")});
    EXPECT_EQ(fresh.platform.boxes(),
              (std::vector<Box>{{"图片不是24位色格式，请选择24位色图片！", 16, std::nullopt}}));
    EXPECT_TRUE(fresh.controller->Job().ImagePath.empty());
}

TEST(WindowWorkflow, OutputFolderFollowsTheChoiceAndTheCue) {
    Window w;
    std::string start = w.dir.path();
    w.platform.AnswerFolder(std::nullopt);  // cancel right after start-up
    w.Click("cmdchgOutPath");
    EXPECT_EQ(w.platform.dialogs().back().title, "选择脱壳文件夹");
    EXPECT_EQ(w.controller->Job().OutPath, start + "/");
    EXPECT_EQ(w.Text("LabOutPath"), start + "/");

    w.platform.AnswerFolder("/");
    w.Click("cmdchgOutPath");
    EXPECT_EQ(w.controller->Job().OutPath, "/");
    EXPECT_EQ(w.Text("LabOutPath"), "/");
    EXPECT_EQ(w.Text("LabCue2"), "欲嵌入的文件：无");  // no carrier holds data: untouched

    auto held = CarrierBuilder{}.Build();
    PutLE32(held, 6, 0x10000003);
    held[54] = 'p';
    held[55] = 'n';
    held[56] = 'g';
    WriteAll(w.dir.File("held.bmp"), held);
    w.platform.AnswerOpenFile(w.dir.File("held.bmp"));
    w.Click("cmdopen");
    EXPECT_EQ(w.Text("LabCue2"), "隐藏信息将被取出到：/output.png");
    w.platform.AnswerFolder(start);
    w.Click("cmdchgOutPath");
    EXPECT_EQ(w.Text("LabCue2"), "隐藏信息将被脱壳到：" + start + "/output.png");
    EXPECT_EQ(w.controller->Job().OutFile, start + "/output.png");
}

}  // namespace
}  // namespace velquist
