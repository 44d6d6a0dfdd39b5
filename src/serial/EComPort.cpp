#include "serial/EComPort.h"

namespace velor {

const char* ComMessageText(TComMessage number) {
    // "СОМ" is written with the Cyrillic letters С, О, М.
    switch (number) {
        case TComMessage::NonexistentPort:
            return "Спроба відкрити неіснуючий СОМ-порт";
        case TComMessage::PortBusy:
            return "Порт зайнятий іншою програмою";
        case TComMessage::WriteFailed:
            return "Помилка запису в порт.\nНеобхідно повторно відкрити програму!";
        case TComMessage::ReadFailed:
            return "Помилка читання з порта\nНеобхідно повторно відкрити програму!";
        case TComMessage::NoTransferRecord:
            return "Недопустимий параметр Async\nНеобхідно повторно відкрити програму!";
        case TComMessage::PurgeFailed:
            return "Помилка функції PurgeComm\nНеобхідно повторно відкрити програму!";
        case TComMessage::TransferStatusFailed:
            return "Не вдалося отримати статус асинхронної операції\nНеобхідно повторно відкрити "
                   "програму!";
        case TComMessage::SetCommStateFailed:
            return "Помилка функції SetCommState\nНеобхідно повторно відкрити програму!";
        case TComMessage::SetCommTimeoutsFailed:
            return "Помилка функції SetCommTimeouts\nНеобхідно повторно відкрити програму!";
        case TComMessage::SetupCommFailed:
            return "Помилка функції SetupComm\nНеобхідно повторно відкрити програму!";
        case TComMessage::ClearCommErrorFailed:
            return "Помилка функції ClearCommError\nНеобхідно повторно відкрити програму!";
        case TComMessage::ModemStatusFailed:
            return "Помилка функції GetCommModemStatus\nНеобхідно повторно відкрити програму!";
        case TComMessage::EscapeFunctionFailed:
            return "Помилка функції EscapeCommFunction\nНеобхідно повторно відкрити програму!";
        case TComMessage::PropertyWhileOpen:
            return "Неможна змінювати властивості, доки порт відкритий";
        case TComMessage::NoPorts:
            return "Відсутні СОМ-порти!\nНеобхідно повторно відкрити програму!";
    }
    return "";
}

}  // namespace velor
