// The main window's own controls, in a real (offscreen) window.
#include "app/vantor_app.h"
#include "browser/browser_runtime.h"
#include "browser/simple_handler.h"
#include "window/vantor_dlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <gtest/gtest.h>

CVantorApp theApp;

namespace {

struct RecordingBrowser : Browser {
    std::vector<QString> loads;
    void CloseBrowser(bool) override {}
    void LoadURL(const QString& url) override { loads.push_back(url); }
    void SetWindowTitle(const QString&) override {}
    void Reload() override {}
};

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        storage = new QTemporaryDir;
        runtime = new BrowserRuntime(storage->path());
    }
    static void TearDownTestSuite()
    {
        delete runtime;
        delete storage;
    }
    void SetUp() override
    {
        dlg = std::make_unique<CVantorDlg>(theApp, *runtime);
        dlg->m_warn = [this](const QString& text) { warnings.push_back(text); };
        HandlerServices s;
        s.currentlyOnUiThread = [] { return true; };
        s.postToUiThread = [](std::function<void()> f) { f(); };
        s.alertBox = [](const QString&) {};
        s.confirmBox = [](const QString&) { return false; };
        dlg->m_handler = std::make_shared<SimpleHandler>(s);
        edit = dlg->findChild<QLineEdit*>("addressEdit");
        go = dlg->findChild<QPushButton*>("goButton");
        ASSERT_TRUE(edit && go);
    }

    static QTemporaryDir* storage;
    static BrowserRuntime* runtime;
    std::unique_ptr<CVantorDlg> dlg;
    std::vector<QString> warnings;
    QLineEdit* edit = nullptr;
    QPushButton* go = nullptr;
};
QTemporaryDir* MainWindow::storage = nullptr;
BrowserRuntime* MainWindow::runtime = nullptr;

}  // namespace

TEST_F(MainWindow, GoTrimsWhiteSpaceAndLoadsTheTextUnchanged)
{
    auto browser = std::make_shared<RecordingBrowser>();
    dlg->m_handler->OnAfterCreated(browser);
    struct Case {
        QString typed;
        QString loaded;  // empty: nothing loaded, the notice shown
    } cases[] = {
        {"  http://a.example/x  ", "http://a.example/x"},
        {"\t\r\nhttp://a.example/x\n\t", "http://a.example/x"},
        {QStringLiteral("\u3000http://a.example/x y\u00A0 "), QStringLiteral("http://a.example/x y\u00A0")},
        {"www.vantor.example/运单 page", QStringLiteral("www.vantor.example/运单 page")},
        {"   \t\r\n ", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        browser->loads.clear();
        warnings.clear();
        edit->setText(c.typed);
        go->click();
        if (c.loaded.isEmpty()) {
            EXPECT_TRUE(browser->loads.empty()) << c.typed.toStdString();
            EXPECT_EQ(warnings, std::vector<QString>{QStringLiteral("请输入网址")});
        } else {
            EXPECT_EQ(browser->loads, std::vector<QString>{c.loaded}) << c.typed.toStdString();
            EXPECT_TRUE(warnings.empty());
        }
        EXPECT_EQ(edit->text(), c.typed);  // the edit box keeps what was typed
    }
    EXPECT_FALSE(edit->isVisible());
    EXPECT_FALSE(go->isVisible());
}

TEST_F(MainWindow, GoWithoutABrowserLoadsNothingAndSaysNothing)
{
    edit->setText("http://a.example/");
    go->click();
    EXPECT_TRUE(warnings.empty());
    dlg->m_handler.reset();
    go->click();
    EXPECT_TRUE(warnings.empty());
}

TEST_F(MainWindow, EnterAndEscapeNeitherPressAButtonNorEndTheDialog)
{
    auto browser = std::make_shared<RecordingBrowser>();
    dlg->m_handler->OnAfterCreated(browser);
    edit->setText("http://a.example/");
    dlg->open();
    ASSERT_TRUE(dlg->isVisible());
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(dlg.get(), key);
        EXPECT_TRUE(dlg->isVisible()) << key;
    }
    EXPECT_TRUE(browser->loads.empty());
    EXPECT_EQ(dlg->result(), 0);
}

TEST_F(MainWindow, CaptionIsBuiltFromItsFourParts)
{
    EXPECT_EQ(CVantorDlg::Caption(), QStringLiteral("Vantor 物流协同平台(www.vantor-freight.example)      客服电话：400-000-0000"));
    EXPECT_EQ(dlg->windowTitle(), CVantorDlg::Caption());
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "C.UTF-8");  // what counts as white space depends on it
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
