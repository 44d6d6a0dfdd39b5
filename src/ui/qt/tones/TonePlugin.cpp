// velor-tones: the failure tones through Qt Multimedia, on a thread of their own so that a tone
// sounds while the user-interface thread sleeps through it, as the flasher's waits do.

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QMetaObject>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <memory>

#include "ui/qt/TonePlayer.h"

namespace velor::ui {

namespace {

constexpr int kSampleRate = 22050;
constexpr double kVolume = 0.25;

// One sine, with 5 ms edges so that it does not click.
QByteArray Synthesize(int hertz, int milliseconds) {
    QByteArray pcm;
    const int samples = kSampleRate * milliseconds / 1000;
    const int edge = kSampleRate * 5 / 1000;
    for (int i = 0; i < samples; ++i) {
        double envelope = 1.0;
        if (i < edge) {
            envelope = static_cast<double>(i) / edge;
        } else if (samples - i < edge) {
            envelope = static_cast<double>(samples - i) / edge;
        }
        const double value = hertz > 0 ? std::sin(2 * M_PI * hertz * i / kSampleRate) : 0.0;
        const auto sample = static_cast<qint16>(value * envelope * kVolume * 32767);
        char bytes[2];
        qToLittleEndian(sample, bytes);
        pcm.append(bytes, 2);
    }
    return pcm;
}

// Lives on the tones thread: one sink at a time, a new tone replaces the one still playing.
class SinkOwner : public QObject {
  public:
    explicit SinkOwner(const QAudioDevice& device) : m_device(device) {
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

class QtTonePlayer final : public ITonePlayer {
  public:
    explicit QtTonePlayer(const QAudioDevice& device) : m_owner(new SinkOwner(device)) {
        m_owner->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_owner, &QObject::deleteLater);
        m_thread.setObjectName(QStringLiteral("tones"));
        m_thread.start();
    }
    ~QtTonePlayer() override {
        m_thread.quit();
        m_thread.wait();
    }
    QtTonePlayer(const QtTonePlayer&) = delete;
    QtTonePlayer& operator=(const QtTonePlayer&) = delete;

    void Start(int hertz, int milliseconds) override {
        SinkOwner* owner = m_owner;
        const QByteArray pcm = Synthesize(hertz, milliseconds);
        QMetaObject::invokeMethod(
            owner, [owner, pcm] { owner->Play(pcm); }, Qt::QueuedConnection);
    }

  private:
    QThread m_thread;
    SinkOwner* m_owner;  // lives on m_thread, deleted when it finishes
};

}  // namespace

}  // namespace velor::ui

extern "C" Q_DECL_EXPORT velor::ui::ITonePlayer* velor_create_tone_player() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return nullptr;
    }
    return new velor::ui::QtTonePlayer(device);
}
