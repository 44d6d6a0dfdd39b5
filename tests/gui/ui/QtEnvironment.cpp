#include <memory>

#include "GuiTestSupport.h"

namespace velor::guitest {

namespace {

// Owns the one QApplication of the run: created before the first test, destroyed after the last
// (a QApplication destroyed among the process's static objects crashes at exit).
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }
    QApplication& App() { return *m_app; }

  private:
    char m_name[16] = "velor-gui-tests";
    char* m_argv[2] = {m_name, nullptr};
    int m_argc = 1;
    std::unique_ptr<QApplication> m_app;
};

QtEnvironment* const g_environment =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

}  // namespace

QApplication& App() {
    return g_environment->App();
}

}  // namespace velor::guitest
