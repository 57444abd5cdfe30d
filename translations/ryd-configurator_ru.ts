<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CommandLine</name>
    <message>
        <source>Offer the serial device at &lt;path&gt; in the port list and select it; may be given more than once.</source>
        <translation>Показать последовательное устройство &lt;path&gt; в списке портов и выбрать его; можно указать несколько раз.</translation>
    </message>
    <message>
        <source>The language of the window: ru (Russian) or en (English). Without it the window follows the system&apos;s locale.</source>
        <translation>Язык окна: ru (русский) или en (английский). Без этого параметра язык берется из локали системы.</translation>
    </message>
    <message>
        <source>Configurator of the Ryd RS-485 / 868 MHz radio modem.
Qt&apos;s own options (-platform, -style, -stylesheet, -reverse, ...) are accepted too.</source>
        <translation>Конфигуратор радиомодема Ryd RS-485 / 868 МГц.
Принимаются и собственные параметры Qt (-platform, -style, -stylesheet, -reverse, ...).</translation>
    </message>
    <message>
        <source>A settings file (*.ryd) to open at start, as &quot;Open Settings&quot; does.</source>
        <translation>Файл настроек (*.ryd), открываемый при запуске, как по кнопке «Открыть настройки».</translation>
    </message>
    <message>
        <source>%1 Try --help.</source>
        <translation>%1 См. --help.</translation>
    </message>
    <message>
        <source>Only one settings file can be opened at start, not %1 (%2). Try --help.</source>
        <translation>При запуске можно открыть только один файл настроек, а не %1 (%2). См. --help.</translation>
    </message>
    <message>
        <source>Unknown language &apos;%1&apos;: choose ru or en. Try --help.</source>
        <translation>Неизвестный язык &apos;%1&apos;: выберите ru или en. См. --help.</translation>
    </message>
    <message>
        <source>No such serial device: %1; it is offered once it appears.</source>
        <translation>Нет такого последовательного устройства: %1; оно появится в списке, как только будет подключено.</translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>%1: wrote %2, device holds %3</source>
        <translation>%1: записано %2, в устройстве %3</translation>
    </message>
    <message>
        <source>the write of &quot;%1&quot;</source>
        <translation>запись «%1»</translation>
    </message>
    <message>
        <source>the read of &quot;%1&quot;</source>
        <translation>чтение «%1»</translation>
    </message>
    <message>
        <source>the request for the radio module&apos;s version</source>
        <translation>запрос версии радиомодуля</translation>
    </message>
    <message>
        <source>the request for the controller&apos;s version</source>
        <translation>запрос версии контроллера</translation>
    </message>
    <message>
        <source>the read of the RS-485 settings</source>
        <translation>чтение настроек RS-485</translation>
    </message>
    <message>
        <source>the write of the RS-485 settings</source>
        <translation>запись настроек RS-485</translation>
    </message>
</context>
<context>
    <name>EditMarks</name>
    <message>
        <source>Changed: the device holds %1</source>
        <translation>Изменено: в устройстве %1</translation>
    </message>
    <message>
        <source>Not read from the device</source>
        <translation>Не прочитано из устройства</translation>
    </message>
    <message>
        <source>Discard the changes not written to the device?</source>
        <translation>Отбросить изменения, не записанные в устройство?</translation>
    </message>
</context>
<context>
    <name>FailurePrompt</name>
    <message>
        <source>Yes skips this command and goes on with the rest of the sequence; No stops the sequence here.</source>
        <translation>«Да» пропускает эту команду и продолжает остальные; «Нет» останавливает последовательность здесь.</translation>
    </message>
    <message>
        <source>The device did not confirm %1.</source>
        <translation>Устройство не подтвердило %1.</translation>
    </message>
    <message>
        <source>The device did not answer %1.</source>
        <translation>Устройство не ответило на %1.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>No setting was read from the device on %1: nothing answered. The panels do not show the device&apos;s settings.
Check that the device is powered, that its cable is connected to this port, and that its serial settings match the ones the window connects with.</source>
        <translation>Устройство на %1 не ответило: ни одна настройка не прочитана. Панели не показывают настройки устройства.
Проверьте питание устройства, подключение кабеля к этому порту и совпадение настроек последовательного порта устройства с теми, с которыми подключается программа.</translation>
    </message>
    <message>
        <source>Show the settings of %1 again? They differ from the device in %2 settings and reach it only with WRITE.</source>
        <translation>Снова показать настройки из %1? Настроек, отличающихся от устройства: %2. В устройство они попадут только по WRITE.</translation>
    </message>
    <message>
        <source>Progress of reading or writing the device&apos;s settings.</source>
        <translation>Ход чтения или записи настроек устройства.</translation>
    </message>
    <message>
        <source>Restore factory settings</source>
        <translation>Восстановить заводские настройки</translation>
    </message>
    <message>
        <source>All settings of the device, its address, channel and rates included, will be replaced by the factory settings.
Restore the factory settings?</source>
        <translation>Все настройки устройства, включая адрес, канал и скорости, будут заменены заводскими.
Восстановить заводские настройки?</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>Save Settings</source>
        <translation>Сохранить настройки</translation>
    </message>
    <message>
        <source>Ryd Files (*.ryd)</source>
        <translation>Файлы Ryd (*.ryd)</translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation>Открыть настройки</translation>
    </message>
    <message>
        <source>The settings could not be saved to &quot;%1&quot;: %2</source>
        <translation>Не удалось сохранить настройки в «%1»: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no &quot;Flow control&quot;: its other settings were loaded, and &quot;Flow control&quot; keeps the choice shown before.</source>
        <translation>В «%1» нет значения «Управление потоком»: остальные настройки загружены, а «Управление потоком» сохраняет прежнее значение.</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
</context>
<context>
    <name>PollStatistics</name>
    <message>
        <source>Answered %1 of %2 polls (%3%)</source>
        <translation>Ответов: %1 из %2 опросов (%3%)</translation>
    </message>
    <message>
        <source>Round trip: last %1 ms, mean %2 ms, largest %3 ms</source>
        <translation>Время ответа: последнее %1 мс, среднее %2 мс, наибольшее %3 мс</translation>
    </message>
    <message>
        <source>Round trip: none measured</source>
        <translation>Время ответа: не измерено</translation>
    </message>
</context>
<context>
    <name>RecordValidator</name>
    <message>
        <source>%1 to %2</source>
        <translation>от %1 до %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2 (allowed at &quot;%3&quot; %4: %5)</source>
        <translation>«%1» содержит %2 (допустимо при «%3» %4: %5)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2 (allowed: %3)</source>
        <translation>«%1» содержит %2 (допустимо: %3)</translation>
    </message>
    <message>
        <source>The settings could not be loaded from &quot;%1&quot;: %2</source>
        <translation>Не удалось загрузить настройки из «%1»: %2</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>the file reads back otherwise than written</source>
        <translation>файл читается не так, как был записан</translation>
    </message>
    <message>
        <source>every name is taken</source>
        <translation>все имена заняты</translation>
    </message>
</context>
<context>
    <name>SerialPortName</name>
    <message>
        <source>The port %1 does not exist. Check that the adapter is plugged in, or choose another port.</source>
        <translation>Порт %1 не существует. Проверьте, подключен ли адаптер, или выберите другой порт.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program, or choose another port.</source>
        <translation>Порт %1 занят другой программой. Закройте ее или выберите другой порт.</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened: permission denied.</source>
        <translation>Не удается открыть порт %1: доступ запрещен.</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened: permission denied. Its device file %2 belongs to the group &quot;%3&quot;, and your user must belong to that group (log in again after adding it).</source>
        <translation>Не удается открыть порт %1: доступ запрещен. Файл устройства %2 принадлежит группе «%3», и ваш пользователь должен входить в эту группу (после добавления войдите в систему заново).</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened: %2</source>
        <translation>Не удается открыть порт %1: %2</translation>
    </message>
    <message>
        <source>The connection on the port %1 was lost: the adapter was unplugged or the line was closed. Check the cable or adapter and connect again.</source>
        <translation>Связь через порт %1 потеряна: адаптер отключен или линия закрыта. Проверьте кабель или адаптер и подключитесь снова.</translation>
    </message>
    <message>
        <source>System message: %1</source>
        <translation>Сообщение системы: %1</translation>
    </message>
</context>
<context>
    <name>Setting</name>
    <message>
        <source>Sub-band</source>
        <translation>Поддиапазон</translation>
    </message>
    <message>
        <source>Radio Data Rate</source>
        <translation>Скорость радиоканала</translation>
    </message>
    <message>
        <source>Chanel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <source>Serial Timeout</source>
        <translation>Таймаут порта</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Мощность</translation>
    </message>
    <message>
        <source>Test address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Serial Data Rate</source>
        <translation>Скорость передачи</translation>
    </message>
    <message>
        <source>Delay Tx-Rx</source>
        <translation>Задержка Tx-Rx</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>Четность</translation>
    </message>
    <message>
        <source>Stop bit</source>
        <translation>Стоповый бит</translation>
    </message>
    <message>
        <source>Flow control</source>
        <translation>Управление потоком</translation>
    </message>
    <message>
        <source>Radio Transmit Reset</source>
        <translation>Сброс передачи</translation>
    </message>
    <message>
        <source>WDT Reset</source>
        <translation>Сброс WDT</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>the file is incomplete: it ends inside its settings</source>
        <translation>файл неполный: он обрывается внутри настроек</translation>
    </message>
    <message>
        <source>the file is incomplete: it ends inside the port name</source>
        <translation>файл неполный: он обрывается внутри имени порта</translation>
    </message>
    <message>
        <source>the file is damaged: its port name cannot be read</source>
        <translation>файл поврежден: имя порта не читается</translation>
    </message>
</context>
<context>
    <name>SettingsTable</name>
    <message>
        <source>&quot;%1&quot; takes a number from %2 to %3, not &quot;%4&quot;</source>
        <translation>«%1» принимает число от %2 до %3, а не «%4»</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has no choice &quot;%2&quot;; its choices are: %3</source>
        <translation>У «%1» нет значения «%2»; допустимые значения: %3</translation>
    </message>
    <message>
        <source>g1 868-868.6 MHz</source>
        <translation>g1 868-868.6 МГц</translation>
    </message>
    <message>
        <source>g2 868.7-869.2 MHz</source>
        <translation>g2 868.7-869.2 МГц</translation>
    </message>
    <message>
        <source>g3 869.4-869.65 MHz</source>
        <translation>g3 869.4-869.65 МГц</translation>
    </message>
    <message>
        <source>g4 869.7-870 MHz</source>
        <translation>g4 869.7-870 МГц</translation>
    </message>
    <message>
        <source>4800 bps</source>
        <translation>4800 бит/с</translation>
    </message>
    <message>
        <source>9600 bps</source>
        <translation>9600 бит/с</translation>
    </message>
    <message>
        <source>19200 bps</source>
        <translation>19200 бит/с</translation>
    </message>
    <message>
        <source>38400 bps</source>
        <translation>38400 бит/с</translation>
    </message>
    <message>
        <source>115200 bps</source>
        <translation>115200 бит/с</translation>
    </message>
    <message>
        <source>1200 bps</source>
        <translation>1200 бит/с</translation>
    </message>
    <message>
        <source>2400 bps</source>
        <translation>2400 бит/с</translation>
    </message>
    <message>
        <source>57600 bps</source>
        <translation>57600 бит/с</translation>
    </message>
    <message>
        <source>8-bit data, no parity</source>
        <translation>8 бит, без четности</translation>
    </message>
    <message>
        <source>8-bit data, even parity</source>
        <translation>8 бит, контроль четности</translation>
    </message>
    <message>
        <source>8-bit data, odd parity</source>
        <translation>8 бит, контроль нечетности</translation>
    </message>
    <message>
        <source>9-bit data, no parity</source>
        <translation>9 бит, без четности</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>HardWare</source>
        <translation>Аппаратное</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>%1 sec</source>
        <translation>%1 с</translation>
    </message>
</context>
<context>
    <name>TrafficLogWindow</name>
    <message>
        <source>Traffic Log</source>
        <translation>Журнал обмена</translation>
    </message>
    <message>
        <source>Save Log</source>
        <translation>Сохранить журнал</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Текстовые файлы (*.txt)</translation>
    </message>
    <message>
        <source>The log could not be saved to &quot;%1&quot;: %2</source>
        <translation>Не удалось сохранить журнал в «%1»: %2</translation>
    </message>
</context>
<context>
    <name>W_Adres</name>
    <message>
        <source>Take this address into the test.</source>
        <translation>Включить этот адрес в проверку.</translation>
    </message>
    <message>
        <source>Remote address</source>
        <translation>Удаленный адрес</translation>
    </message>
    <message>
        <source>Address %1</source>
        <translation>Адрес %1</translation>
    </message>
    <message>
        <source>Address %1: answered %2 of %3 polls (%4%)</source>
        <translation>Адрес %1: ответов %2 из %3 опросов (%4%)</translation>
    </message>
    <message>
        <source>The latest ten polls of this address, newest on the left:
yellow under way, green answered, red missed, grey no result.</source>
        <translation>Последние десять опросов этого адреса, новые слева:
желтый — идет опрос, зеленый — есть ответ, красный — нет ответа, серый — нет результата.</translation>
    </message>
    <message>
        <source>Address %1 is in an earlier row too; that row receives its results, this one stays empty.</source>
        <translation>Адрес %1 уже есть в строке выше; результаты идут в ту строку, эта остается пустой.</translation>
    </message>
    <message>
        <source>Remote address to poll, 0 to 63.</source>
        <translation>Опрашиваемый удаленный адрес, от 0 до 63.</translation>
    </message>
</context>
<context>
    <name>W_ComPort</name>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Configure Remote Device</source>
        <translation>Удаленное устройство</translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation>Открыть настройки</translation>
    </message>
    <message>
        <source>Save Settings</source>
        <translation>Сохранить настройки</translation>
    </message>
    <message>
        <source>Traffic Log</source>
        <translation>Журнал обмена</translation>
    </message>
    <message>
        <source>Connect: open the port, read every setting of the device and enable the panels.
Disconnect: close the port.</source>
        <translation>Подключить: открыть порт, прочитать все настройки устройства и включить панели.
Отключить: закрыть порт.</translation>
    </message>
    <message>
        <source>Load settings from a .ryd file into the panels; the device changes only with WRITE.</source>
        <translation>Загрузить настройки из файла .ryd в панели; устройство изменится только по кнопке ЗАПИСЬ.</translation>
    </message>
    <message>
        <source>Save the settings shown in the panels to a .ryd file.</source>
        <translation>Сохранить настройки, показанные в панелях, в файл .ryd.</translation>
    </message>
    <message>
        <source>Not available in this version.</source>
        <translation>Недоступно в этой версии.</translation>
    </message>
    <message>
        <source>Open the log of every request, answer, timeout and connection since the start.</source>
        <translation>Открыть журнал всех запросов, ответов, таймаутов и подключений с момента запуска.</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>Serial port of the modem. The list follows the ports the system offers; the port connected last is chosen when it appears. A port the list lacks can be typed.</source>
        <translation>Последовательный порт модема. Список следует за портами, которые видит система; последний подключенный порт выбирается, как только появляется. Порт, которого нет в списке, можно ввести вручную.</translation>
    </message>
    <message>
        <source>No serial port found: plug in the adapter, or type the name of its port.</source>
        <translation>Последовательный порт не найден: подключите адаптер или введите имя его порта.</translation>
    </message>
    <message>
        <source>Your user must belong to the group &quot;%1&quot; to use serial ports (log in again after adding it).</source>
        <translation>Для работы с последовательными портами пользователь должен входить в группу «%1» (после добавления войдите в систему заново).</translation>
    </message>
    <message>
        <source>The port %1 is not present now: plug the adapter in again, or choose another port.</source>
        <translation>Порта %1 сейчас нет: подключите адаптер снова или выберите другой порт.</translation>
    </message>
    <message>
        <source>Check in Device Manager, under &quot;Ports (COM &amp; LPT)&quot;, that the adapter is listed and its driver is installed.</source>
        <translation>Проверьте в диспетчере устройств, в разделе «Порты (COM и LPT)», что адаптер там есть и его драйвер установлен.</translation>
    </message>
</context>
<context>
    <name>W_FreezProtection</name>
    <message>
        <source>Freeze Protection</source>
        <translation>Защита от зависания</translation>
    </message>
    <message>
        <source>Resets a radio transmission that runs longer than this, in units of 100 ms (x100 ms): 10 to 250, that is 1 s to 25 s.</source>
        <translation>Сбрасывает радиопередачу, которая длится дольше этого времени, в единицах 100 мс (x100 мс): от 10 до 250, то есть от 1 до 25 с.</translation>
    </message>
    <message>
        <source>Watchdog reset period of the device, in 10 s steps, or Disable.</source>
        <translation>Период сброса сторожевого таймера (WDT) устройства, шагами по 10 с, или Выключено.</translation>
    </message>
    <message>
        <source>Radio Transmit Reset</source>
        <translation>Сброс передачи</translation>
    </message>
    <message>
        <source>x100 ms</source>
        <translation>x100 мс</translation>
    </message>
    <message>
        <source>WDT Reset</source>
        <translation>Сброс WDT</translation>
    </message>
</context>
<context>
    <name>W_Key</name>
    <message>
        <source>READ</source>
        <translation>ЧТЕНИЕ</translation>
    </message>
    <message>
        <source>Read every setting from the device again; changes not yet written are replaced.</source>
        <translation>Заново прочитать все настройки из устройства; еще не записанные изменения будут заменены.</translation>
    </message>
    <message>
        <source>WRITE</source>
        <translation>ЗАПИСЬ</translation>
    </message>
    <message>
        <source>Write the settings shown in the panels to the device.</source>
        <translation>Записать в устройство настройки, показанные в панелях.</translation>
    </message>
    <message>
        <source>DEFAULT</source>
        <translation>ПО УМОЛЧАНИЮ</translation>
    </message>
    <message>
        <source>Restore the device&apos;s factory settings, after a question.</source>
        <translation>Восстановить заводские настройки устройства (после подтверждения).</translation>
    </message>
    <message>
        <source>Freeze Protection</source>
        <translation>Защита от зависания</translation>
    </message>
    <message>
        <source>Show or hide the freeze protection settings: the device&apos;s two recovery timers.</source>
        <translation>Показать или скрыть настройки защиты от зависания: два таймера восстановления устройства.</translation>
    </message>
</context>
<context>
    <name>W_Power</name>
    <message>
        <source>Transmit power, 0 (Min) to 7 (Max). The mouse wheel and the arrow keys move it one step.</source>
        <translation>Мощность передатчика, от 0 (Мин) до 7 (Макс). Колесо мыши и клавиши со стрелками меняют ее на один шаг.</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Мощность</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Мин</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Макс</translation>
    </message>
</context>
<context>
    <name>W_Progress</name>
    <message>
        <source>Distance %</source>
        <translation>Дальность %</translation>
    </message>
    <message>
        <source>Distance %1 %: how far the chosen radio data rate reaches. The slower the rate, the farther it reaches.</source>
        <translation>Дальность %1 %: насколько далеко достает выбранная скорость радиоканала. Чем ниже скорость, тем больше дальность.</translation>
    </message>
</context>
<context>
    <name>W_Radio</name>
    <message>
        <source>Radio Module</source>
        <translation>Радиомодуль</translation>
    </message>
</context>
<context>
    <name>W_RadioCommonLeft</name>
    <message>
        <source>This device&apos;s own address on the radio link, 0 to 63.</source>
        <translation>Собственный адрес этого устройства в радиосети, от 0 до 63.</translation>
    </message>
    <message>
        <source>Flow control on the device&apos;s serial line: None, or HardWare (handshake lines).</source>
        <translation>Управление потоком на последовательной линии устройства: Нет или Аппаратное (линии квитирования).</translation>
    </message>
    <message>
        <source>The radio module of the device, read when connecting. Display only.</source>
        <translation>Радиомодуль устройства, читается при подключении. Только для просмотра.</translation>
    </message>
    <message>
        <source>Firmware version of the radio module, read when connecting (x/x until then). Display only.</source>
        <translation>Версия прошивки радиомодуля, читается при подключении (до этого x/x). Только для просмотра.</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Flow control</source>
        <translation>Управление потоком</translation>
    </message>
    <message>
        <source>Serial Timeout</source>
        <translation>Таймаут порта</translation>
    </message>
    <message>
        <source>Radio module</source>
        <translation>Радиомодуль</translation>
    </message>
    <message>
        <source>FirmWare</source>
        <translation>Прошивка</translation>
    </message>
    <message>
        <source>Serial timeout of the device, up to 250. Its least value follows the serial data rate of the RS-485 panel: the slower the rate, the higher the least value.
A change of &quot;Serial Data Rate&quot; sets it to that rate&apos;s least value.</source>
        <translation>Таймаут порта устройства, до 250. Его наименьшее значение зависит от скорости передачи на панели RS-485: чем ниже скорость, тем выше наименьшее значение.
При изменении «Скорости передачи» он устанавливается в наименьшее значение для этой скорости.</translation>
    </message>
</context>
<context>
    <name>W_RadioCommonRight</name>
    <message>
        <source>Data rate of the radio link. The slower the rate, the farther it reaches and the more channels it offers. Both ends of a link need the same rate.</source>
        <translation>Скорость передачи в радиоканале. Чем ниже скорость, тем больше дальность и тем больше доступно каналов. На обоих концах линии скорость должна быть одинаковой.</translation>
    </message>
</context>
<context>
    <name>W_Rs485</name>
    <message>
        <source>RS-485</source>
        <translation>RS-485</translation>
    </message>
</context>
<context>
    <name>W_Rs485Common</name>
    <message>
        <source>Data bits and parity of the RS-485 line.</source>
        <translation>Биты данных и четность линии RS-485.</translation>
    </message>
    <message>
        <source>Stop bits of the RS-485 line.</source>
        <translation>Стоповые биты линии RS-485.</translation>
    </message>
    <message>
        <source>Delay between transmitting and receiving on the RS-485 line, in units of 100 µs (x100 µs): 0 to 250, that is up to 25 ms.</source>
        <translation>Задержка между передачей и приемом на линии RS-485, в единицах 100 мкс (x100 мкс): от 0 до 250, то есть до 25 мс.</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>Четность</translation>
    </message>
    <message>
        <source>Stop bit</source>
        <translation>Стоповый бит</translation>
    </message>
    <message>
        <source>Delay Tx-Rx</source>
        <translation>Задержка Tx-Rx</translation>
    </message>
    <message>
        <source>x100 µs</source>
        <translation>x100 мкс</translation>
    </message>
</context>
<context>
    <name>W_SerialRate</name>
    <message>
        <source>Serial data rate of the RS-485 line.
Green: the radio data rate can carry this rate.
Yellow: faster than the radio data rate can carry.</source>
        <translation>Скорость передачи линии RS-485.
Зеленый: скорость радиоканала обеспечивает эту скорость.
Желтый: быстрее, чем может пропустить радиоканал.</translation>
    </message>
</context>
<context>
    <name>W_SubBand</name>
    <message>
        <source>Part of the 868 MHz band the device works in.</source>
        <translation>Часть диапазона 868 МГц, в которой работает устройство.</translation>
    </message>
    <message>
        <source>Not available: the device works in sub-band g2 only.</source>
        <translation>Недоступно: устройство работает только в поддиапазоне g2.</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <source>Radio channel, by its centre frequency. The list follows the radio data rate: the slower the rate, the more channels. Both ends of a link need the same channel.</source>
        <translation>Радиоканал по его центральной частоте. Список зависит от скорости радиоканала: чем ниже скорость, тем больше каналов. На обоих концах линии канал должен быть одинаковым.</translation>
    </message>
    <message>
        <source>%1 MHz</source>
        <translation>%1 МГц</translation>
    </message>
</context>
<context>
    <name>W_Test</name>
    <message>
        <source>Radio Stability Check</source>
        <translation>Проверка устойчивости радиосвязи</translation>
    </message>
    <message>
        <source>Polls the ticked addresses over the radio, one after another, once a second each.
A row shows the latest ten polls of its address, newest on the left:
yellow under way, green answered, red missed, grey no result.</source>
        <translation>Опрашивает отмеченные адреса по радио, по очереди, каждый раз в секунду.
Строка показывает последние десять опросов своего адреса, новые слева:
желтый — идет опрос, зеленый — есть ответ, красный — нет ответа, серый — нет результата.</translation>
    </message>
    <message>
        <source>TEST</source>
        <translation>ТЕСТ</translation>
    </message>
    <message>
        <source>Start polling the ticked addresses; the key then reads STOP and ends the test.</source>
        <translation>Начать опрос отмеченных адресов; затем на кнопке будет СТОП, она завершает проверку.</translation>
    </message>
    <message>
        <source>CLEAN TEST</source>
        <translation>ОЧИСТИТЬ</translation>
    </message>
    <message>
        <source>Turn every mark grey; a running test goes on.</source>
        <translation>Сделать все отметки серыми; идущая проверка продолжается.</translation>
    </message>
    <message>
        <source>Tick at least one address to test.</source>
        <translation>Отметьте хотя бы один адрес.</translation>
    </message>
    <message>
        <source>Save Report</source>
        <translation>Сохранить отчет</translation>
    </message>
    <message>
        <source>Save each polled row&apos;s counts and round trips to a CSV file.</source>
        <translation>Сохранить счетчики и время ответа каждой опрошенной строки в файл CSV.</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>СТОП</translation>
    </message>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>Файлы CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be saved to &quot;%1&quot;: %2</source>
        <translation>Не удалось сохранить отчет в «%1»: %2</translation>
    </message>
</context>
<context>
    <name>WriteOutcome</name>
    <message>
        <source>&quot;%1&quot;: the device reported %2</source>
        <translation>«%1»: устройство сообщило %2</translation>
    </message>
    <message>
        <source>Device settings</source>
        <translation>Настройки устройства</translation>
    </message>
    <message>
        <source>The device holds settings the window cannot show. They are kept as the device reported them and written back unchanged:
%1</source>
        <translation>В устройстве есть настройки, которые окно не может показать. Они сохранены в том виде, в каком их сообщило устройство, и будут записаны обратно без изменений:
%1</translation>
    </message>
    <message>
        <source>The device does not hold these settings as written:
%1</source>
        <translation>Устройство не сохранило эти настройки в записанном виде:
%1</translation>
    </message>
    <message>
        <source>%1 ended before the device&apos;s settings were read back. The device may now hold part of the new settings. Write requests were sent for:
%2</source>
        <translation>Команда %1 завершилась до того, как настройки устройства были прочитаны обратно. Устройство может теперь хранить часть новых настроек. Запросы записи были отправлены для:
%2</translation>
    </message>
</context>
</TS>
