#include "platform/qt/sound_player.h"

#include <QEventLoop>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <string>

namespace memro {

SoundKind SoundKindOf(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".wav") return SoundKind::kWave;
  if (extension == ".mid") return SoundKind::kMidi;
  return SoundKind::kNone;
}

SoundPlayer::SoundPlayer(MidiOptions midiOptions) : midiOptions_(std::move(midiOptions)) {}

SoundPlayer::~SoundPlayer() { Stop(); }

void SoundPlayer::Play(const std::filesystem::path& file) {
  Stop();
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return;
  switch (SoundKindOf(file)) {
    case SoundKind::kWave: {
      // QSoundEffect rather than a media player: it stays silent without an audio
      // device instead of taking the program down.
      wave_ = std::make_unique<QSoundEffect>();
      wave_->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
      wave_->play();
      break;
    }
    case SoundKind::kMidi:
      midi_ = MidiPlayback::Start(file, midiOptions_);
      break;
    case SoundKind::kNone:
      break;
  }
}

namespace {

// Qt's sample cache reads a wave file on a thread of its own and hands what it read to
// deleteLater there; an effect destroyed before that load ended leaves those objects
// behind for good. A local file loads in milliseconds, so the load is let finish.
void WaitForLoad(QSoundEffect& effect) {
  if (effect.status() != QSoundEffect::Loading) return;
  QEventLoop loop;
  QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
    if (effect.status() != QSoundEffect::Loading) loop.quit();
  });
  QTimer::singleShot(2000, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void SoundPlayer::Stop() {
  if (wave_) {
    wave_->stop();
    WaitForLoad(*wave_);
    wave_.reset();
  }
  midi_.reset();
}

SoundKind SoundPlayer::Active() const {
  if (wave_) return SoundKind::kWave;
  if (midi_) return SoundKind::kMidi;
  return SoundKind::kNone;
}

}  // namespace memro
