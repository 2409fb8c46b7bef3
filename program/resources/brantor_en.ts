<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Callsign</name>
    <message>
        <source>Call Sign</source>
        <translation>Call Sign</translation>
    </message>
    <message>
        <source>Call Sign Settings</source>
        <translation>Call Sign Settings</translation>
    </message>
    <message>
        <source>Call Sign State:</source>
        <translation>Call Sign State:</translation>
    </message>
    <message>
        <source>Call Sign Interval:</source>
        <translation>Call Sign Interval:</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Call Sign Message:</source>
        <translation>Call Sign Message:</translation>
    </message>
    <message>
        <source>On</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>CloseAppDialogClass</name>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Exit Software Only</source>
        <translation>Exit Software Only</translation>
    </message>
    <message>
        <source>Power Off Receiver</source>
        <translation>Power Off Receiver</translation>
    </message>
    <message>
        <source>Activate Pass-Through</source>
        <translation>Activate Pass-Through</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Connect</name>
    <message>
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>setting</translation>
    </message>
    <message>
        <source>Manufacture:</source>
        <translation>Manufacture:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Baud:</source>
        <translation>Baud:</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>DeviceType:</source>
        <translation>DeviceType:</translation>
    </message>
    <message>
        <source>Search Device</source>
        <translation>Search Device</translation>
    </message>
    <message>
        <source>Stop Searching</source>
        <translation>Stop Searching</translation>
    </message>
    <message>
        <source>Stopping Searching...</source>
        <translation>Stopping Searching...</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Break</translation>
    </message>
    <message>
        <source>KVX</source>
        <translation>KVX</translation>
    </message>
    <message>
        <source>Quarel</source>
        <translation>Quarel</translation>
    </message>
    <message>
        <source>%1 b/s</source>
        <translation>%1 b/s</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>Disconnect Device</source>
        <translation>Disconnect Device</translation>
    </message>
    <message>
        <source>Before you connect to a device, the currently connected device must be disconnected.
Continue?</source>
        <translation>Before you connect to a device, the currently connected device must be disconnected.
Continue?</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Successfully connected</source>
        <translation>Successfully connected</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to close port</source>
        <translation>Failed to close port</translation>
    </message>
    <message>
        <source>Connection Failed!</source>
        <translation>Connection Failed!</translation>
    </message>
    <message>
        <source>Failed to disconnect previous connection.</source>
        <translation>Failed to disconnect previous connection.</translation>
    </message>
    <message>
        <source>No matched port.</source>
        <translation>No matched port.</translation>
    </message>
    <message>
        <source>Port is in use.</source>
        <translation>Port is in use.</translation>
    </message>
    <message>
        <source>No Device Selected.</source>
        <translation>No Device Selected.</translation>
    </message>
    <message>
        <source>Error Code: </source>
        <translation>Error Code: </translation>
    </message>
    <message>
        <source>Failed to bind device!</source>
        <translation>Failed to bind device!</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Begin start the new search behavior, you must stop the current search, do you want to do so?</source>
        <translation>Begin start the new search behavior, you must stop the current search, do you want to do so?</translation>
    </message>
    <message>
        <source>Bluetooth closed.</source>
        <translation>Bluetooth closed.</translation>
    </message>
    <message>
        <source>No more devices around.</source>
        <translation>No more devices around.</translation>
    </message>
    <message>
        <source>Bluetooth closed or no device around !</source>
        <translation>Bluetooth closed or no device around !</translation>
    </message>
    <message>
        <source>Failed to search device!
Error Code: %1</source>
        <translation>Failed to search device!
Error Code: %1</translation>
    </message>
</context>
<context>
    <name>ConnectingProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Brantor</source>
        <translation>Brantor</translation>
    </message>
    <message>
        <source>Closing Current Connection</source>
        <translation>Closing Current Connection</translation>
    </message>
    <message>
        <source>Current Connection Closed</source>
        <translation>Current Connection Closed</translation>
    </message>
    <message>
        <source>Opening Port</source>
        <translation>Opening Port</translation>
    </message>
    <message>
        <source>Opening Port Succeeded</source>
        <translation>Opening Port Succeeded</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Initializing</translation>
    </message>
    <message>
        <source>Initialized</source>
        <translation>Initialized</translation>
    </message>
</context>
<context>
    <name>DataChain</name>
    <message>
        <source>GPRS And Internal UHF</source>
        <translation>GPRS And Internal UHF</translation>
    </message>
    <message>
        <source>Work Mode:</source>
        <translation>Work Mode:</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>GPRS</source>
        <translation>GPRS</translation>
    </message>
    <message>
        <source>Internal UHF</source>
        <translation>Internal UHF</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to get data link type!</source>
        <translation>Failed to get data link type!</translation>
    </message>
    <message>
        <source>Failed to get net parameters!</source>
        <translation>Failed to get net parameters!</translation>
    </message>
    <message>
        <source>Failed to get parameters!</source>
        <translation>Failed to get parameters!</translation>
    </message>
    <message>
        <source>Please enter parameters!</source>
        <translation>Please enter parameters!</translation>
    </message>
</context>
<context>
    <name>DataChain_Net</name>
    <message>
        <source>GPRS</source>
        <translation>GPRS</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Source:</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>User Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Auto Login</source>
        <translation>Auto Login</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>Base</source>
        <translation>Base</translation>
    </message>
    <message>
        <source>Rover</source>
        <translation>Rover</translation>
    </message>
    <message>
        <source>Unknown Error</source>
        <translation>Unknown Error</translation>
    </message>
    <message>
        <source>Signal Low</source>
        <translation>Signal Low</translation>
    </message>
    <message>
        <source>No SIM card</source>
        <translation>No SIM card</translation>
    </message>
    <message>
        <source>TCP connection Unavailable</source>
        <translation>TCP connection Unavailable</translation>
    </message>
    <message>
        <source>UserName or password Wrong</source>
        <translation>UserName or password Wrong</translation>
    </message>
    <message>
        <source>Source Table Wrong</source>
        <translation>Source Table Wrong</translation>
    </message>
    <message>
        <source>GPGGA data Invalid</source>
        <translation>GPGGA data Invalid</translation>
    </message>
    <message>
        <source>Dial connection Fail</source>
        <translation>Dial connection Fail</translation>
    </message>
    <message>
        <source>Server no Respond</source>
        <translation>Server no Respond</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Server with the name exits.</source>
        <translation>Server with the name exits.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The server address is not valid!</source>
        <translation>The server address is not valid!</translation>
    </message>
    <message>
        <source>BaseID:</source>
        <translation>BaseID:</translation>
    </message>
    <message>
        <source>&lt;New&gt;</source>
        <translation>&lt;New&gt;</translation>
    </message>
    <message>
        <source>Total length of source
userName and password
is beyond %1!</source>
        <comment>How to describe this error is not sure.</comment>
        <translation>Total length of source
userName and password
is beyond %1!</translation>
    </message>
    <message>
        <source>Device mode is radio now!</source>
        <translation>Device mode is radio now!</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Successed to get source table !</source>
        <translation>Successed to get source table !</translation>
    </message>
    <message>
        <source>Brantor</source>
        <translation>Brantor</translation>
    </message>
    <message>
        <source>Failed to get source table!</source>
        <translation>Failed to get source table!</translation>
    </message>
    <message>
        <source>Failed to connect to server!</source>
        <translation>Failed to connect to server!</translation>
    </message>
    <message>
        <source>The source table is larger than %1 MiB and was cut: only the mount points of its first %1 MiB are listed.</source>
        <translation>The source table is larger than %1 MiB and was cut: only the mount points of its first %1 MiB are listed.</translation>
    </message>
    <message>
        <source>Please enter parameters!</source>
        <translation>Please enter parameters!</translation>
    </message>
    <message>
        <source>server address</source>
        <translation>server address</translation>
    </message>
    <message>
        <source>protocol and work mode</source>
        <translation>protocol and work mode</translation>
    </message>
    <message>
        <source>login mode</source>
        <translation>login mode</translation>
    </message>
    <message>
        <source>NTRIP login</source>
        <translation>NTRIP login</translation>
    </message>
    <message>
        <source>Failed to get net parameters: %1!
They are left empty and are not set unless you enter them.</source>
        <translation>Failed to get net parameters: %1!
They are left empty and are not set unless you enter them.</translation>
    </message>
</context>
<context>
    <name>DataChain_Radio</name>
    <message>
        <source>Range:</source>
        <translation>Range:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Spacing:</source>
        <translation>Spacing:</translation>
    </message>
    <message>
        <source>KHz</source>
        <translation>KHz</translation>
    </message>
    <message>
        <source>OTA Baud:</source>
        <translation>OTA Baud:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>Sensitvity:</source>
        <translation>Sensitvity:</translation>
    </message>
    <message>
        <source>FEC</source>
        <translation>FEC</translation>
    </message>
    <message>
        <source>Call Sign</source>
        <translation>Call Sign</translation>
    </message>
    <message>
        <source>High</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>Middle</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Radio frq is out of %1 - %2!</source>
        <translation>Radio frq is out of %1 - %2!</translation>
    </message>
</context>
<context>
    <name>FatherWidget</name>
    <message>
        <source>Brantor</source>
        <translation>Brantor</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>SIP</source>
        <translation>SIP</translation>
    </message>
</context>
<context>
    <name>Info</name>
    <message>
        <source>Device Info.</source>
        <translation>Device Info.</translation>
    </message>
    <message>
        <source>Model:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Serial Number:</translation>
    </message>
    <message>
        <source>Part Number:</source>
        <translation>Part Number:</translation>
    </message>
    <message>
        <source>Production Date:</source>
        <translation>Production Date:</translation>
    </message>
    <message>
        <source>F.W. Version:</source>
        <translation>F.W. Version:</translation>
    </message>
    <message>
        <source>GPRS Version:</source>
        <translation>GPRS Version:</translation>
    </message>
    <message>
        <source>Battery Power:</source>
        <translation>Battery Power:</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to get parameters!</source>
        <translation>Failed to get parameters!</translation>
    </message>
</context>
<context>
    <name>InlayNet</name>
    <message>
        <source>APN Settings</source>
        <translation>APN Settings</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to get parameters!</source>
        <translation>Failed to get parameters!</translation>
    </message>
</context>
<context>
    <name>InlayNet_Widget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>APN:</source>
        <translation>APN:</translation>
    </message>
    <message>
        <source>Dial Number:</source>
        <translation>Dial Number:</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>User Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Please enter parameters.</source>
        <translation>Please enter parameters.</translation>
    </message>
    <message>
        <source>Total length of
user name and password
is beyond %1!</source>
        <comment>How to describe this error is not sure.</comment>
        <translation>Total length of
user name and password
is beyond %1!</translation>
    </message>
</context>
<context>
    <name>MenuManager</name>
    <message>
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Device Info.</source>
        <translation>Device Info.</translation>
    </message>
    <message>
        <source>Internal Recording</source>
        <translation>Internal Recording</translation>
    </message>
    <message>
        <source>RTK</source>
        <translation>RTK</translation>
    </message>
    <message>
        <source>GPRS And Internal UHF</source>
        <translation>GPRS And Internal UHF</translation>
    </message>
    <message>
        <source>APN Settings</source>
        <translation>APN Settings</translation>
    </message>
    <message>
        <source>NMEA Output</source>
        <translation>NMEA Output</translation>
    </message>
    <message>
        <source>Radio Channel</source>
        <translation>Radio Channel</translation>
    </message>
    <message>
        <source>Server Settings</source>
        <translation>Server Settings</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>Output</name>
    <message>
        <source>NMEA Output</source>
        <translation>NMEA Output</translation>
    </message>
    <message>
        <source>OTA Baud:</source>
        <translation>OTA Baud:</translation>
    </message>
    <message>
        <source>OTA Method:</source>
        <translation>OTA Method:</translation>
    </message>
    <message>
        <source>BlueTooth</source>
        <translation>BlueTooth</translation>
    </message>
    <message>
        <source>Cable</source>
        <translation>Cable</translation>
    </message>
    <message>
        <source>Both</source>
        <translation>Both</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>AllPick</source>
        <translation>AllPick</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1 b/s</source>
        <translation>%1 b/s</translation>
    </message>
    <message>
        <source>Brantor</source>
        <translation>Brantor</translation>
    </message>
    <message>
        <source>No data selected.</source>
        <translation>No data selected.</translation>
    </message>
    <message>
        <source>Output selected data after reboot?</source>
        <translation>Output selected data after reboot?</translation>
    </message>
</context>
<context>
    <name>PageFields</name>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Mount point</source>
        <translation>Mount point</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Base ID</source>
        <translation>Base ID</translation>
    </message>
    <message>
        <source>APN</source>
        <translation>APN</translation>
    </message>
    <message>
        <source>Dial number</source>
        <translation>Dial number</translation>
    </message>
    <message>
        <source>at most %1 characters</source>
        <translation>at most %1 characters</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>a number such as %1</source>
        <translation>a number such as %1</translation>
    </message>
    <message>
        <source>Latin-1 characters only</source>
        <translation>Latin-1 characters only</translation>
    </message>
    <message>
        <source>none of \ / &lt; &gt; * ? : " |</source>
        <translation>none of \ / &lt; &gt; * ? : " |</translation>
    </message>
    <message>
        <source>ASCII characters only (no accents)</source>
        <translation>ASCII characters only (no accents)</translation>
    </message>
    <message>
        <source>letters, digits, _ and - only</source>
        <translation>letters, digits, _ and - only</translation>
    </message>
    <message>
        <source>ASCII characters only (no accents), no colon</source>
        <translation>ASCII characters only (no accents), no colon</translation>
    </message>
    <message>
        <source>four numbers 0 to 255 with no leading zero, such as 192.168.1.10</source>
        <translation>four numbers 0 to 255 with no leading zero, such as 192.168.1.10</translation>
    </message>
    <message>
        <source>a dotted address or a host name of at most %1 letters, digits, hyphens and dots</source>
        <translation>a dotted address or a host name of at most %1 letters, digits, hyphens and dots</translation>
    </message>
    <message>
        <source>this receiver takes a dotted address only, such as 192.168.1.10</source>
        <translation>this receiver takes a dotted address only, such as 192.168.1.10</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>%1: not accepted</source>
        <translation>%1: not accepted</translation>
    </message>
    <message>
        <source>Elevation mask</source>
        <translation>Elevation mask</translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Point name</source>
        <translation>Point name</translation>
    </message>
    <message>
        <source>Antenna height</source>
        <translation>Antenna height</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>no spaces or control characters, Latin-1 only, none of \ / &lt; &gt; * ? : " |</source>
        <translation>no spaces or control characters, Latin-1 only, none of \ / &lt; &gt; * ? : " |</translation>
    </message>
</context>
<context>
    <name>RTK</name>
    <message>
        <source>RTK</source>
        <translation>RTK</translation>
    </message>
    <message>
        <source>Output Mode:</source>
        <translation>Output Mode:</translation>
    </message>
    <message>
        <source>Output Freq.:</source>
        <translation>Output Freq.:</translation>
    </message>
    <message>
        <source>Receiver Mode:</source>
        <translation>Receiver Mode:</translation>
    </message>
    <message>
        <source>Dist.:</source>
        <translation>Dist.:</translation>
    </message>
    <message>
        <source>Meter</source>
        <translation>Meter</translation>
    </message>
    <message>
        <source>Transmit Port:</source>
        <translation>Transmit Port:</translation>
    </message>
    <message>
        <source>Data Format:</source>
        <translation>Data Format:</translation>
    </message>
    <message>
        <source>Elevation Mask:</source>
        <translation>Elevation Mask:</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Auto Base</source>
        <translation>Auto Base</translation>
    </message>
    <message>
        <source>Auto Rover</source>
        <translation>Auto Rover</translation>
    </message>
    <message>
        <source>GPRS And Cable</source>
        <translation>GPRS And Cable</translation>
    </message>
    <message>
        <source>GPRS Or UHF</source>
        <translation>GPRS Or UHF</translation>
    </message>
    <message>
        <source>Cable</source>
        <translation>Cable</translation>
    </message>
    <message>
        <source>CMR</source>
        <translation>CMR</translation>
    </message>
    <message>
        <source>CMR+</source>
        <translation>CMR+</translation>
    </message>
    <message>
        <source>RTCM2</source>
        <translation>RTCM2</translation>
    </message>
    <message>
        <source>RTCM3</source>
        <translation>RTCM3</translation>
    </message>
    <message>
        <source>RTCA</source>
        <translation>RTCA</translation>
    </message>
    <message>
        <source>SCMR</source>
        <translation>SCMR</translation>
    </message>
    <message>
        <source>RTCM3.2</source>
        <translation>RTCM3.2</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Raw Data</source>
        <translation>Raw Data</translation>
    </message>
    <message>
        <source>GPGGA</source>
        <translation>GPGGA</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to get parameters!</source>
        <translation>Failed to get parameters!</translation>
    </message>
    <message>
        <source>Please enter parameters.</source>
        <translation>Please enter parameters.</translation>
    </message>
</context>
<context>
    <name>RadioChannelWidget</name>
    <message>
        <source>Radio Channel</source>
        <translation>Radio Channel</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>High Freq.( MHz )</source>
        <translation>High Freq.( MHz )</translation>
    </message>
    <message>
        <source>Middle Freq.( MHz )</source>
        <translation>Middle Freq.( MHz )</translation>
    </message>
    <message>
        <source>Low Freq.( MHz )</source>
        <translation>Low Freq.( MHz )</translation>
    </message>
    <message>
        <source>Frequency( MHz )</source>
        <translation>Frequency( MHz )</translation>
    </message>
</context>
<context>
    <name>SelectGetSourceMethod</name>
    <message>
        <source>Local Net</source>
        <translation>Local Net</translation>
    </message>
    <message>
        <source>Get source table</source>
        <translation>Get source table</translation>
    </message>
</context>
<context>
    <name>SelectGetSourceMethodClass</name>
    <message>
        <source>Get Source</source>
        <translation>Get Source</translation>
    </message>
    <message>
        <source>Select your method to get souce</source>
        <translation>Select your method to get souce</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Socket</translation>
    </message>
    <message>
        <source>Device GPRS</source>
        <translation>Device GPRS</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ServerConfig</name>
    <message>
        <source>Server Settings</source>
        <translation>Server Settings</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>New</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>Detail</translation>
    </message>
</context>
<context>
    <name>ServerConfig_Add</name>
    <message>
        <source>New Server</source>
        <translation>New Server</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Server with the name exits.</source>
        <translation>Server with the name exits.</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Success!</source>
        <translation>Success!</translation>
    </message>
</context>
<context>
    <name>ServerDetail</name>
    <message>
        <source>Server Details</source>
        <translation>Server Details</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Server with the name exits.</source>
        <translation>Server with the name exits.</translation>
    </message>
</context>
<context>
    <name>ServerWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>BaseID:</source>
        <translation>BaseID:</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Source:</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>User Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Save Password</source>
        <translation>Save Password</translation>
    </message>
    <message>
        <source>Please enter parameters.</source>
        <translation>Please enter parameters.</translation>
    </message>
</context>
<context>
    <name>SettingsSaveFailure</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>The settings could not be saved: %1</translation>
    </message>
    <message>
        <source>The settings could not be read: %1</source>
        <translation>The settings could not be read: %1</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>The server had been deleted by another program; your changes were saved as a new server.</source>
        <translation>The server had been deleted by another program; your changes were saved as a new server.</translation>
    </message>
</context>
<context>
    <name>Source_Add</name>
    <message>
        <source>New Source</source>
        <translation>New Source</translation>
    </message>
    <message>
        <source>Enter source:</source>
        <translation>Enter source:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Already existed...</source>
        <translation>Already existed...</translation>
    </message>
</context>
<context>
    <name>Static</name>
    <message>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>2 hour</source>
        <translation>2 hour</translation>
    </message>
    <message>
        <source>3 hour</source>
        <translation>3 hour</translation>
    </message>
    <message>
        <source>6 hour</source>
        <translation>6 hour</translation>
    </message>
    <message>
        <source>12 hour</source>
        <translation>12 hour</translation>
    </message>
    <message>
        <source>1 day</source>
        <translation>1 day</translation>
    </message>
    <message>
        <source>2 day</source>
        <translation>2 day</translation>
    </message>
    <message>
        <source>1 week</source>
        <translation>1 week</translation>
    </message>
    <message>
        <source>2 Hz</source>
        <translation>2 Hz</translation>
    </message>
    <message>
        <source>1 Hz</source>
        <translation>1 Hz</translation>
    </message>
    <message>
        <source>2 s</source>
        <translation>2 s</translation>
    </message>
    <message>
        <source>5 s</source>
        <translation>5 s</translation>
    </message>
    <message>
        <source>10 s</source>
        <translation>10 s</translation>
    </message>
    <message>
        <source>15 s</source>
        <translation>15 s</translation>
    </message>
    <message>
        <source>30 s</source>
        <translation>30 s</translation>
    </message>
    <message>
        <source>60 s</source>
        <translation>60 s</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>Slant</source>
        <translation>Slant</translation>
    </message>
    <message>
        <source>Phase Center</source>
        <translation>Phase Center</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to get parameters!</source>
        <translation>Failed to get parameters!</translation>
    </message>
    <message>
        <source>Please enter parameters.</source>
        <translation>Please enter parameters.</translation>
    </message>
    <message>
        <source>Begin Collect</source>
        <translation>Begin Collect</translation>
    </message>
    <message>
        <source>Begin collecting static data?</source>
        <translation>Begin collecting static data?</translation>
    </message>
    <message>
        <source>End Collect</source>
        <translation>End Collect</translation>
    </message>
    <message>
        <source>Sure to end collecting
the static data ?</source>
        <translation>Sure to end collecting
the static data ?</translation>
    </message>
</context>
<context>
    <name>StaticMode</name>
    <message>
        <source>Internal Recording</source>
        <translation>Internal Recording</translation>
    </message>
    <message>
        <source>Data Log:</source>
        <translation>Data Log:</translation>
    </message>
    <message>
        <source>Data Log Session:</source>
        <translation>Data Log Session:</translation>
    </message>
    <message>
        <source>Sample Interval:</source>
        <translation>Sample Interval:</translation>
    </message>
    <message>
        <source>Total Memory:</source>
        <translation>Total Memory:</translation>
    </message>
    <message>
        <source>Elevation Mask:</source>
        <translation>Elevation Mask:</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>Antenna Parameters</source>
        <translation>Antenna Parameters</translation>
    </message>
    <message>
        <source>Point Name:</source>
        <translation>Point Name:</translation>
    </message>
    <message>
        <source>Antenna Type:</source>
        <translation>Antenna Type:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Meter</source>
        <translation>Meter</translation>
    </message>
    <message>
        <source>Survey To:</source>
        <translation>Survey To:</translation>
    </message>
</context>
<context>
    <name>Translate</name>
    <message>
        <source>ZELT</source>
        <translation>ZELT</translation>
    </message>
    <message>
        <source>Ntrip Client</source>
        <translation>Ntrip Client</translation>
    </message>
    <message>
        <source>ZELT One To Multi</source>
        <translation>ZELT One To Multi</translation>
    </message>
    <message>
        <source>TCP Direct</source>
        <translation>TCP Direct</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Null</source>
        <translation>Null</translation>
    </message>
    <message>
        <source>0.1w</source>
        <translation>0.1w</translation>
    </message>
    <message>
        <source>0.5w</source>
        <translation>0.5w</translation>
    </message>
    <message>
        <source>1w</source>
        <translation>1w</translation>
    </message>
    <message>
        <source>2w</source>
        <translation>2w</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>KVX BT</source>
        <translation>KVX BT</translation>
    </message>
    <message>
        <source>Sys. BT</source>
        <translation>Sys. BT</translation>
    </message>
    <message>
        <source>Q48 Series</source>
        <translation>Q48 Series</translation>
    </message>
    <message>
        <source>Q22 Series</source>
        <translation>Q22 Series</translation>
    </message>
    <message>
        <source>GNSS RTK Series</source>
        <translation>GNSS RTK Series</translation>
    </message>
</context>
</TS>
