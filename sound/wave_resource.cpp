#include "sound/wave_resource.h"

#include <QFile>

bool FindWaveResource(const std::string& name, std::vector<BYTE>& bytes) {
  bytes.clear();
  for (const char* type : {":/WAVE/", ":/WAV/"}) {
    QFile file(QString::fromUtf8(type) + QString::fromStdString(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QByteArray data = file.readAll();
    if (data.isEmpty()) return false;
    bytes.assign(data.begin(), data.end());
    return true;
  }
  return false;
}
