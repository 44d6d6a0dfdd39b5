#pragma once
// What the device operations say to the operator (UTF-8), exactly as the system words it.
// "СОМ" is written with the Cyrillic letters С, О, М.

#include <string>

namespace velor::texts {

inline constexpr const char* kStatusReady = "Мікропрограма готова до запису";

// The status line once a chosen file has been accepted; fileName without its folder.
inline std::string StatusFileOpened(const std::string& fileName) {
    return "Мікропрограма : " + fileName + " - відкрита" + ". Запишіть в прилад";
}

inline constexpr const char* kNotFoundDetect =
    "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- ввести пароль;"
    "\r\n- перевірити вибір немеру СОМ;\r\n- перевірити швидкість (більшість 115200).";
inline constexpr const char* kNotFoundWrite =
    "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- розвернути "
    "роз`єм програмування;\r\n- ввести пароль;\r\n- перевірити вибір немеру СОМ.";
inline constexpr const char* kUnknownBootloader =
    " - невідома версія завантажувача мікроконтролера";
inline constexpr const char* kNoDescriptionDetect = "Невідомий прилад (без текстового опису)";
inline constexpr const char* kNoDescriptionWrite = "Невідомий прилад/версія";

inline constexpr const char* kDetectedHead = "Визначино:\r\n";
inline constexpr const char* kDetectPaused =
    "              Робота приладу призупинена!\r\nВідкрийте мікропрограму з розширенням - HEX";
inline constexpr const char* kStatusOpenHex = "Відкрийте мікропрограму з розширенням - HEX";

inline constexpr const char* kReleaseUnknown = "Невідомо що то є!";
inline constexpr const char* kReleaseSame = "Дана версія вже записана в прилад!";
inline constexpr const char* kReleaseNewer = "В прилад вже записана новіша версія!";

inline constexpr const char* kStatusWriting = "Йде запис! Заборонено переривати!";
inline constexpr const char* kCalibrationHead = "Автокалібровка: ";

inline constexpr const char* kStatusDoneHead = "Мікропрограма : успішно завантажена в ";
inline constexpr const char* kDoneHead =
    "                                         Мікропрограма успішно завантажена в ";
inline constexpr const char* kDoneTail =
    "\r\nПісля запису необхідно провести процедуру встановлення початкових установок (при "
    "наявності)\r\n                  Після запису необхідно провести встановлення конфігурації "
    "(при наявності)";

// Added to the completion message when the device left the line at its reset.
inline constexpr const char* kLeftAtResetNote =
    "\r\nПрилад від'єднався від лінії під час скидання: це нормально для приладу з власним "
    "USB-портом.";

inline constexpr const char* kStatusFailedHead = "Мікропрограма : ";
inline constexpr const char* kStatusFailedTail = " - помилка";
inline constexpr const char* kFailureLead = "                              \r\n";
inline constexpr const char* kEraseFailed = "Помилка очистки - ";
inline constexpr const char* kWriteFailed = "Помилка запису - ";
inline constexpr const char* kProgramFailed = "Помилка прошивки - ";
inline constexpr const char* kPartialWarning =
    "                                               Увага!\r\nПри неповному запису можлива "
    "некоректна робота приладу!";

inline constexpr const char* kStatusStopped = "Зупинено користувачем";
inline constexpr const char* kStopped =
    "                   Зупинено користувачем!\r\n         Мікропрограма записана частково!\r\n"
    "Необхідно повторно вибрати файл прошивки,\r\n    і провести запис, інакще в подальшому\r\n"
    "             прилад буде не працездатний!";

inline constexpr const char* kDeviceReset = "Скинуто прилад!!!";

// The write refuses, before any erase, an image that cannot fill the device it found.
inline constexpr const char* kImageMissing =
    "Мікропрограму не завантажено!\r\nЗапис скасовано, прилад не змінено.";
inline constexpr const char* kImageTooSmall =
    "Мікропрограма менша за пам'ять приладу!\r\nЗапис скасовано, прилад не змінено.";

// A device that signs its replies sent its description garbled every time it was asked: its
// release is unknown, so nothing is written.
inline constexpr const char* kDescriptionGarbled =
    "Опис приладу надходить спотвореним!\r\nЗапис скасовано, прилад не змінено. Перевірте "
    "з'єднання і повторіть запис.";

// A stop asked for from outside the window, with what the device then holds.
inline constexpr const char* kInterruptedNothingWritten =
    "Зупинено користувачем!\r\nЗапис не розпочато, прилад не змінено.";
inline constexpr const char* kInterruptedPagesHead =
    "Зупинено користувачем!\r\nЗаписано сторінок: ";
inline constexpr const char* kInterruptedPagesOf = " з ";
inline constexpr const char* kInterruptedPageBegunHead = ".\r\nСторінка ";
inline constexpr const char* kInterruptedPageBegunTail = " могла бути стерта і записана частково";
inline constexpr const char* kInterruptedBeforeResetTail =
    ".\r\nМікропрограму записано повністю, але прилад не скинуто!";
inline constexpr const char* kInterruptedTail =
    ".\r\nМікропрограма записана частково, прилад не скинуто!\r\nНеобхідно повторно провести "
    "запис, інакше прилад буде не працездатний!";

}  // namespace velor::texts
