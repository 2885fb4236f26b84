'''A stand-in for UDisks2 that knows one removable card, for the mount tests.

Parameters: "device", the card's block device; "answer", what Mount does: "mount" mounts the
card on "mount_point" as udisksd would, "refuse" answers as an unauthorised caller gets,
"none" leaves the card without a file system UDisks2 knows, "slow" answers nothing for a
minute, as an authorisation dialog nobody answers would. Unmount unmounts the card as udisksd
would, or with "unmount": "busy" answers that it is in use; the drive's PowerOff, offered unless
"can_power_off" is false, refuses while the card is still mounted, as udisksd does.
'''
import dbus
import dbusmock.mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'
DRIVE = 'org.freedesktop.UDisks2.Drive'


def byte_string(text):
    return dbus.ByteArray(text.encode() + b'\0')


def load(mock, parameters):
    device = parameters['device']
    answer = parameters['answer']
    name = device.rsplit('/', 1)[-1]
    drive = MAIN_OBJ + '/drives/Card_Reader_' + name
    block = MAIN_OBJ + '/block_devices/' + name

    mock.AddProperties(MAIN_IFACE, {'Version': '2.9.4'})
    mock.AddObject(drive, 'org.freedesktop.UDisks2.Drive',
                   {'Removable': True, 'MediaRemovable': True, 'MediaAvailable': True,
                    'Ejectable': True, 'ConnectionBus': 'usb', 'Id': 'Card-Reader-' + name,
                    'CanPowerOff': parameters.get('can_power_off', True)},
                   [])
    mock_drive = dbusmock.mockobject.objects[drive]
    mock_drive.AddMethod(DRIVE, 'PowerOff', 'a{sv}', '',
                         f"if any(line.split(' - ')[1].split()[1] == {device!r} "
                         f"for line in open('/proc/self/mountinfo')):\n"
                         f"    raise dbus.exceptions.DBusException('Error powering off drive: {device} is mounted', "
                         f"name='org.freedesktop.UDisks2.Error.Failed')")
    mock.AddObject(block, 'org.freedesktop.UDisks2.Block',
                   {'Device': byte_string(device), 'PreferredDevice': byte_string(device),
                    'Drive': dbus.ObjectPath(drive),
                    'IdUsage': '' if answer == 'none' else 'filesystem',
                    'IdType': '' if answer == 'none' else 'ext4'},
                   [])
    if answer == 'none':
        return

    card = dbusmock.mockobject.objects[block]
    card.AddProperties(FILESYSTEM, {'MountPoints': dbus.Array([], signature='ay')})
    if answer == 'slow':
        code = "__import__('time').sleep(60)"
    elif answer == 'refuse':
        code = ("raise dbus.exceptions.DBusException('Not authorized to perform operation', "
                "name='org.freedesktop.UDisks2.Error.NotAuthorized')")
    else:
        mount_point = parameters['mount_point']
        code = (f"__import__('subprocess').check_call(['mount', '-t', 'ext4', {device!r}, {mount_point!r}])\n"
                f"self.Set({FILESYSTEM!r}, 'MountPoints', "
                f"dbus.Array([dbus.ByteArray({mount_point!r}.encode() + b'\\0')], signature='ay'))\n"
                f"ret = {mount_point!r}")
    card.AddMethod(FILESYSTEM, 'Mount', 'a{sv}', 's', code)

    if parameters.get('unmount') == 'busy':
        code = (f"raise dbus.exceptions.DBusException('Error unmounting {device}: target is busy', "
                f"name='org.freedesktop.UDisks2.Error.DeviceBusy')")
    else:
        code = (f"__import__('subprocess').check_call(['umount', {device!r}])\n"
                f"self.Set({FILESYSTEM!r}, 'MountPoints', dbus.Array([], signature='ay'))")
    card.AddMethod(FILESYSTEM, 'Unmount', 'a{sv}', '', code)
