#include "ui/Sounds.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QMetaObject>
#include <QtEndian>
#include <cmath>
#include <vector>

namespace velor::ui {

namespace {

constexpr int kSampleRate = 22050;
constexpr double kVolume = 0.25;

struct Note {
    int Hertz;
    int Milliseconds;
};

// One sine per note, with 5 ms edges so that the notes do not click.
QByteArray Synthesize(const std::vector<Note>& notes) {
    QByteArray pcm;
    for (const Note& note : notes) {
        const int samples = kSampleRate * note.Milliseconds / 1000;
        const int edge = kSampleRate * 5 / 1000;
        for (int i = 0; i < samples; ++i) {
            double envelope = 1.0;
            if (i < edge) {
                envelope = static_cast<double>(i) / edge;
            } else if (samples - i < edge) {
                envelope = static_cast<double>(samples - i) / edge;
            }
            const double value =
                note.Hertz > 0 ? std::sin(2 * M_PI * note.Hertz * i / kSampleRate) : 0.0;
            const auto sample = static_cast<qint16>(value * envelope * kVolume * 32767);
            char bytes[2];
            qToLittleEndian(sample, bytes);
            pcm.append(bytes, 2);
        }
    }
    return pcm;
}

std::vector<Note> BeepTune(BeepKind kind) {
    switch (kind) {
        case BeepKind::Hand:
            return {{392, 110}, {0, 30}, {262, 170}};
        case BeepKind::Question:
            return {{523, 90}, {0, 20}, {784, 110}};
        case BeepKind::Exclamation:
            return {{880, 90}, {0, 40}, {880, 90}};
        case BeepKind::Asterisk:
            return {{988, 70}, {1319, 120}};
    }
    return {};
}

}  // namespace

// Lives on the sounds thread: one sink at a time, a new sound replaces the one still playing.
class TonePlayer : public QObject {
  public:
    explicit TonePlayer(const QAudioDevice& device) : m_device(device) {
        m_format.setSampleRate(kSampleRate);
        m_format.setChannelCount(1);
        m_format.setSampleFormat(QAudioFormat::Int16);
    }

    void Play(const QByteArray& pcm) {
        if (!m_device.isFormatSupported(m_format)) {
            return;
        }
        m_sink.reset();
        m_buffer.reset(new QBuffer);
        m_buffer->setData(pcm);
        m_buffer->open(QIODevice::ReadOnly);
        m_sink.reset(new QAudioSink(m_device, m_format));
        m_sink->start(m_buffer.get());
    }

  private:
    QAudioDevice m_device;
    QAudioFormat m_format;
    std::unique_ptr<QAudioSink> m_sink;
    std::unique_ptr<QBuffer> m_buffer;
};

Sounds::Sounds(bool enabled) {
    if (!enabled) {
        return;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return;
    }
    m_player = new TonePlayer(device);
    m_player->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_player, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("sounds"));
    m_thread.start();
}

Sounds::~Sounds() {
    if (m_player != nullptr) {
        m_thread.quit();
        m_thread.wait();
    }
}

void Sounds::Play(const QByteArray& pcm) {
    if (m_player == nullptr) {
        return;
    }
    TonePlayer* player = m_player;
    QMetaObject::invokeMethod(
        player, [player, pcm] { player->Play(pcm); }, Qt::QueuedConnection);
}

void Sounds::MessageBeep(BeepKind kind) {
    Play(Synthesize(BeepTune(kind)));
}

void Sounds::Tone(int hertz, int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    Play(Synthesize({{hertz, milliseconds}}));
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace velor::ui
