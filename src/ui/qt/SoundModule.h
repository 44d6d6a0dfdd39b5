#pragma once
// A sound player that lives in a loadable module, loaded at its first use: the audio libraries
// behind it then cost the program's start-up nothing.

#include <QLibrary>
#include <QStringList>
#include <memory>

namespace velor::ui {

// Beside the program in the build tree, then under the library folder where it is installed.
QStringList DefaultModulePaths(const char* fileName);

template <typename Player>
class SoundModule {
  public:
    // candidates: where to look for the module, first found wins; empty: DefaultModulePaths.
    // entry: the module's one function, which returns a new player or null.
    SoundModule(QStringList candidates, const char* fileName, const char* entry)
        : m_candidates(std::move(candidates)), m_fileName(fileName), m_entry(entry) {}
    ~SoundModule() { m_player.reset(); }  // its threads end before the module could go
    SoundModule(const SoundModule&) = delete;
    SoundModule& operator=(const SoundModule&) = delete;

    // Null when no module is found or it has no player to give; looked for once.
    Player* Get() {
        if (!m_tried) {
            m_tried = true;
            Load();
        }
        return m_player.get();
    }

  private:
    void Load() {
        if (m_candidates.isEmpty()) {
            m_candidates = DefaultModulePaths(m_fileName);
        }
        for (const QString& path : m_candidates) {
            m_library.setFileName(path);
            if (!m_library.load()) {
                continue;
            }
            using Create = Player* (*)();
            if (auto create = reinterpret_cast<Create>(m_library.resolve(m_entry))) {
                m_player.reset(create());
            }
            return;
        }
    }

    QStringList m_candidates;
    const char* m_fileName;
    const char* m_entry;
    bool m_tried = false;
    QLibrary m_library;
    std::unique_ptr<Player> m_player;
};

}  // namespace velor::ui
